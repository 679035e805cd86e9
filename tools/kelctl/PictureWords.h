#pragma once
// The words and numbers of a picture's figures, shared by kelctl stats and compare: the
// channels' names (JSON keys, and the labels of the message file), and the number formats.

#include "Arguments.h"
#include "Context.h"

#include "image/PictureView.h"

#include <QJsonObject>
#include <QString>

namespace kelctl {

// "red", "green", "blue", "grey"; "colour", "grey".
const char* channelKey(kel::Channel channel);
const char* kindKey(kel::ImageKind kind);
// The channel's name in the language of the settings.
QString channelName(const Context& context, kel::Channel channel);

// Two decimals; a share from 0 to 1 as a percentage with two decimals and " %".
QString fixed(double value);
QString percent(double share);

// The object on one line of stdout.
void printJson(const QJsonObject& object);

// The kind a sensor image file is converted to: --grey or colour.
kel::ImageKind kindOf(const Arguments& parsed);

} // namespace kelctl
