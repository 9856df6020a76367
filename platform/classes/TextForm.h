// The readable text form of the component stream, in which windows are authored:
//
//   object Form1: TForm1
//     Caption = 'Dorvaquent Control System 2.0'
//     Font.Height = -11
//     OnCreate = FormCreate
//     object mixer: TAUAudioMixer
//       Channels = <
//         item
//           Coefficient = 0.5
//         end>
//       OutputPin.SinkPins = (Form1.out1.InputPin)
//     end
//   end
//
// Values: integers (decimal, $hex, negative), floats, 'quoted' UTF-8 strings with ''
// for a quote and #13 style character codes, joined by +; identifiers (enumeration
// values, True, False, nil, component and handler names, dotted pin names); sets
// [a, b]; lists ( ... ); collections < item ... end >; binary data {hex}.
//
// Floats are exact: a plain literal is the double nearest to it, widened to the 10-byte
// extended form; a literal ending in L (1.0000000000000000001L) is read at extended
// precision. The text writer prints every stored extended value so that it reads back
// bit for bit, plainly when the value is a double and with L otherwise.
#pragma once

#include "platform/classes/Streaming.h"

#include <string>
#include <string_view>

namespace dcs {

// Malformed text raises EReadError naming the line.
void ObjectTextToBinary(TStream& Input, TStream& Output);
void ObjectBinaryToText(TStream& Input, TStream& Output);

std::string ObjectBinaryToText(TStream& Input);
void ObjectTextToBinary(std::string_view Text, TStream& Output);

// A root component as text, and a root read from text (see TReader::ReadRootComponent).
std::string ComponentToText(TComponent* Root);
TComponent* ReadComponentFromText(std::string_view Text, TComponent* Root);

// The text of one stored float (as the text writer prints it) and its reading.
std::string FloatToFormText(long double Value);
long double FormTextToFloat(std::string_view Text);

}  // namespace dcs
