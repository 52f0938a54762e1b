#ifndef VELIODEVICE_H
#define VELIODEVICE_H

// Open modes shared by files and file engines. Engines receive the mode as
// given to VelFile::open; ReadOnly is bit 1.
class VelIODevice
{
public:
    enum OpenModeFlag : int {
        NotOpen = 0x0000,
        ReadOnly = 0x0001,
        WriteOnly = 0x0002,
        ReadWrite = ReadOnly | WriteOnly,
        Append = 0x0004,
        Truncate = 0x0008,
        Text = 0x0010,
        Unbuffered = 0x0020,
    };
    using OpenMode = int;
};

#endif
