#pragma once
// The general date format: a date and time in the user's locale, in full
// (four-digit year, seconds), as the platform's standard date-to-text
// conversion writes it.
#include <QDateTime>
#include <QLocale>

QString GeneralDateText(const QDateTime& when, const QLocale& locale = QLocale::system());
