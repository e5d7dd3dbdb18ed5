// The whole loaded skin as one JSON object, keys in the order of the
// records' fields, for skin authors and for checking our own skin.
#pragma once

#include "skin/data/SkinModel.h"

#include <QByteArray>

QByteArray DumpSkinJson(const skin::TsSkinModel& model);
