// The render command of the skin tool: a section painted as the program
// paints it, over a given background, into a PNG.
#pragma once

#include "skin/data/TsSkinManager.h"

#include <QString>
#include <QStringList>

// Loads a skin (a package file, a skin folder, or the package bytes given)
// into a manager as the program would. Throws the program's message when
// the skin is broken or missing.
void LoadIntoManager(skin::TsSkinManager& manager, const QString& path, const QByteArray& internal);

// render SKIN SECTION --state N --size WxH [--parent-color 0xBBGGRR |
//        --parent-image PNG --offset X,Y] --out OUT.png
// render SKIN --all --out DIR
// `options` are the words after SKIN. Throws for bad options or output.
void RenderCommand(const skin::TsSkinManager& manager, const QStringList& options);
