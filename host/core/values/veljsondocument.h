#ifndef VELJSONDOCUMENT_H
#define VELJSONDOCUMENT_H

#include "velbytearray.h"
#include "veljsonvalue.h"

// Why a text could not be read as a JSON document.
struct VelJsonParseError {
    enum ParseError {
        NoError = 0,
        UnterminatedObject = 1,
        MissingNameSeparator = 2,
        UnterminatedArray = 3,
        MissingValueSeparator = 4,
        IllegalValue = 5,
        TerminationByNumber = 6,
        IllegalNumber = 7,
        IllegalEscapeSequence = 8,
        IllegalUTF8String = 9,
        UnterminatedString = 10,
        MissingObject = 11,
        DeepNesting = 12,
        DocumentTooLarge = 13,
        GarbageAtEnd = 14
    };

    VelString errorString() const { return m_message; }

    int offset = 0; // byte offset where reading stopped
    ParseError error = NoError;
    VelString m_message;
};

// A JSON text whose top level is an object or an array. Reading never throws:
// broken input gives a null document and, when asked for, the reason.
class VelJsonDocument
{
public:
    enum JsonFormat { Indented = 0, Compact = 1 };
    // Deeper nesting is refused rather than risking the stack.
    static constexpr int kMaxDepth = 512;

    VelJsonDocument() = default;
    explicit VelJsonDocument(const VelJsonObject &object) { setObject(object); }
    explicit VelJsonDocument(const VelJsonArray &array) { setArray(array); }

    static VelJsonDocument fromJson(const VelByteArray &json, VelJsonParseError *error = nullptr);
    VelByteArray toJson(JsonFormat format = Indented) const;

    bool isNull() const { return m_root.isNull(); }
    bool isEmpty() const;
    bool isObject() const { return m_root.isObject(); }
    bool isArray() const { return m_root.isArray(); }
    // An empty object / array when the document holds the other kind or nothing.
    VelJsonObject object() const { return m_root.toObject(); }
    VelJsonArray array() const { return m_root.toArray(); }
    void setObject(const VelJsonObject &object) { m_root = VelJsonValue(object); }
    void setArray(const VelJsonArray &array) { m_root = VelJsonValue(array); }

    friend bool operator==(const VelJsonDocument &a, const VelJsonDocument &b)
    {
        return a.m_root == b.m_root;
    }
    friend bool operator!=(const VelJsonDocument &a, const VelJsonDocument &b) { return !(a == b); }

private:
    VelJsonValue m_root;
};

#endif
