#ifndef VELDATETIMENAMESPACE_H
#define VELDATETIMENAMESPACE_H

// Calendar enumerations shared by dates, times and locales.
namespace Vel
{
enum DateFormat { TextDate = 0, ISODate = 1, ISODateWithMs = 9, RFC2822Date = 8 };
enum TimeSpec { LocalTime = 0, UTC = 1 };
enum DayOfWeek {
    Monday = 1,
    Tuesday = 2,
    Wednesday = 3,
    Thursday = 4,
    Friday = 5,
    Saturday = 6,
    Sunday = 7
};
} // namespace Vel

#endif
