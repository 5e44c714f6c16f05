#pragma once
// Date-times as days since 1899-12-30 00:00, the fraction being the time of day.
using TDateTime = double;

TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0);
struct DateTimeParts {
    int year, month, day, hour, minute, second, ms;
};
DateTimeParts DecodeDateTime(TDateTime value);
