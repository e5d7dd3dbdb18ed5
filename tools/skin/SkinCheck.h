// The skin author's check: every problem of a skin that its author should
// fix, each with the section and key it lies in.
#pragma once

#include "skin/data/SkinMasks.h"

#include <QByteArray>
#include <QString>
#include <vector>

struct SkinProblem {
    bool Error = true; // else a warning: the skin loads, but not as meant
    QString Section, Key, Message;
    QString Line() const;
};

// Checks a skin's options text and its pictures (from `pictures`), and lists
// what is wrong in the order of the options text.
std::vector<SkinProblem> CheckSkin(const QByteArray& options, const skin::PictureSource& pictures);

// "check SKIN": prints the problems and a summary; exit status 1 with an
// error, 0 with warnings alone. `internal` is the program's own package.
int CheckCommand(const QString& skin, const QByteArray& internal);
