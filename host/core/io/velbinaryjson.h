#ifndef VELBINARYJSON_H
#define VELBINARYJSON_H

#include "velbytearray.h"
#include "veljsonobject.h"

#include <cstddef>

// The host's binary JSON encoding, tag "vbjs", version 1.
//
// A document is one value; all integers are little-endian. A value is a type
// byte followed by its payload:
//
//   0x00  null      no payload
//   0x01  false     no payload
//   0x02  true      no payload
//   0x03  integer   4 bytes, signed 32-bit (numbers that are whole and fit)
//   0x04  double    8 bytes, IEEE 754 binary64 (every other number)
//   0x05  string    u32 byte count, then that many bytes of UTF-8
//   0x06  array     u32 element count, then the elements
//   0x07  object    u32 member count, then per member: u32 key byte count,
//                   the key's UTF-8 bytes, the member's value; members keep
//                   the order in which they were written
//
// A document stored in a fixed-size area (the plugin metadata block) is the
// top-level value followed by 0x00 padding up to the area's size; readers stop
// after the top-level value and require the rest of the area to be 0x00.
//
// Where the tag and version travel with the data (the plugin metadata block),
// they come first: the 4 bytes "vbjs", then the version as u32 (1).
//
// Readers check every count against the bytes that remain and refuse
// documents nested deeper than 64 levels, so damaged input fails cleanly.
class VelBinaryJson
{
public:
    enum : int { Version = 1, MaxDepth = 64 };
    enum Type : unsigned char {
        Null = 0x00,
        False = 0x01,
        True = 0x02,
        Integer = 0x03,
        Double = 0x04,
        String = 0x05,
        Array = 0x06,
        Object = 0x07
    };

    // Encodes a JSON text (member order kept). With paddedSize >= 0 the result
    // is padded with 0x00 to exactly that size; it fails (empty result, *ok
    // false) when the text is not JSON or the encoding does not fit.
    static VelByteArray fromJsonText(const VelByteArray &json, int paddedSize = -1,
                                     bool *ok = nullptr);
    // Decodes one value from data (at most size bytes) into compact JSON text;
    // with requirePadding, every byte after the value must be 0x00. *ok tells
    // whether the input was valid.
    static VelByteArray toJsonText(const char *data, int size, bool requirePadding,
                                   bool *ok = nullptr);

    // The same for the host's JSON objects. A VelJsonObject keeps its members
    // sorted by key, so that is the order written; decoding gives an empty
    // object (*ok false) for invalid input or a top level that is no object.
    static VelByteArray fromJsonObject(const VelJsonObject &object, int paddedSize = -1,
                                       bool *ok = nullptr);
    static VelJsonObject toJsonObject(const char *data, int size, bool requirePadding,
                                      bool *ok = nullptr);
};

#endif
