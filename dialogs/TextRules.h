#pragma once
// Small text rules of the administration dialogs.
#include <QString>
#include <optional>

namespace DialogText {

// Blanks removed at both ends; line breaks and tabs stay.
QString TrimBlanks(const QString& text);
// A multi-line box's text as stored: line breaks as CR LF.
QString StoredText(const QString& boxText);
// A stored text as a multi-line box shows it: line breaks as LF.
QString BoxText(const QString& stored);
// The number a numeric box holds (blanks around it allowed); none for other text.
std::optional<double> NumericValue(const QString& text);

} // namespace DialogText
