#include "velkeysequence.h"

#include "velguinamespace.h"

namespace
{

bool sameWord(const VelString &a, const char *b)
{
    return a.toLower() == VelString(b).toLower();
}

struct KeyName {
    int key;
    const char *name;
};

const KeyName keyNames[] = {
    {Vel::Key_Escape, "Esc"},          {Vel::Key_Tab, "Tab"},       {Vel::Key_Backtab, "Backtab"},
    {Vel::Key_Backspace, "Backspace"}, {Vel::Key_Return, "Return"}, {Vel::Key_Enter, "Enter"},
    {Vel::Key_Insert, "Ins"},          {Vel::Key_Delete, "Del"},    {Vel::Key_Pause, "Pause"},
    {Vel::Key_Print, "Print"},         {Vel::Key_Home, "Home"},     {Vel::Key_End, "End"},
    {Vel::Key_Left, "Left"},           {Vel::Key_Up, "Up"},         {Vel::Key_Right, "Right"},
    {Vel::Key_Down, "Down"},           {Vel::Key_PageUp, "PgUp"},   {Vel::Key_PageDown, "PgDown"},
    {Vel::Key_Space, "Space"},         {Vel::Key_Menu, "Menu"},     {Vel::Key_Help, "Help"},
    {Vel::Key_Back, "Back"},           {Vel::Key_Search, "Search"},
};

struct ModifierName {
    uint modifier;
    const char *name;
};

// The order in which modifiers are written.
const ModifierName modifierNames[] = {
    {Vel::MetaModifier, "Meta"},
    {Vel::ControlModifier, "Ctrl"},
    {Vel::AltModifier, "Alt"},
    {Vel::ShiftModifier, "Shift"},
};

VelString keyToString(int key)
{
    for (const KeyName &entry : keyNames) {
        if (entry.key == key)
            return VelString(entry.name);
    }
    if (key >= Vel::Key_F1 && key <= Vel::Key_F35)
        return VelString("F") + VelString::number((long long)(key - Vel::Key_F1 + 1));
    if (key > 0x20 && key < 0x01000000)
        return VelString(VelChar(char16_t(key))).toUpper();
    return VelString();
}

int keyFromString(const VelString &text)
{
    for (const KeyName &entry : keyNames) {
        if (sameWord(text, entry.name))
            return entry.key;
    }
    if (text.length() >= 2 && (text.at(0) == VelChar('F') || text.at(0) == VelChar('f'))) {
        bool ok = false;
        const int n = text.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= 35)
            return Vel::Key_F1 + n - 1;
    }
    if (text.length() == 1)
        return int(text.toUpper().at(0).unicode());
    return 0;
}

int combinationFromString(const VelString &text)
{
    const VelString trimmed = text.trimmed();
    VelString keyPart;
    VelString modifierPart;
    // "Ctrl++" and "+" name the plus key itself.
    if (trimmed.endsWith(VelString("++"))) {
        keyPart = VelString("+");
        modifierPart = trimmed.left(trimmed.length() - 2);
    } else if (trimmed == "+") {
        keyPart = trimmed;
    } else {
        const int split = trimmed.lastIndexOf(VelChar('+'));
        keyPart = trimmed.mid(split + 1);
        modifierPart = split > 0 ? trimmed.left(split) : VelString();
    }
    int modifiers = 0;
    if (!modifierPart.isEmpty()) {
        for (const VelString &part : modifierPart.split(VelChar('+'))) {
            bool known = false;
            for (const ModifierName &entry : modifierNames) {
                if (sameWord(part.trimmed(), entry.name)) {
                    modifiers |= int(entry.modifier);
                    known = true;
                }
            }
            if (!known)
                return 0;
        }
    }
    const int key = keyFromString(keyPart.trimmed());
    return key ? (key | modifiers) : 0;
}

} // namespace

VelKeySequence::VelKeySequence(int k1, int k2, int k3, int k4) : m_keys{k1, k2, k3, k4} {}

VelKeySequence::VelKeySequence(const VelString &text)
{
    const VelStringList parts = text.split(VelChar(','), Vel::SkipEmptyParts);
    if (parts.count() > 4)
        return;
    int parsed[4] = {0, 0, 0, 0};
    for (int i = 0; i < parts.count(); ++i) {
        parsed[i] = combinationFromString(parts.at(i));
        if (!parsed[i])
            return;
    }
    for (int i = 0; i < 4; ++i)
        m_keys[i] = parsed[i];
}

int VelKeySequence::count() const
{
    int n = 0;
    while (n < 4 && m_keys[n])
        ++n;
    return n;
}

int VelKeySequence::operator[](int index) const
{
    return (index >= 0 && index < 4) ? m_keys[index] : 0;
}

VelString VelKeySequence::toString() const
{
    VelString result;
    for (int i = 0; i < count(); ++i) {
        if (i > 0)
            result += VelString(", ");
        const uint combination = uint(m_keys[i]);
        for (const ModifierName &entry : modifierNames) {
            if (combination & entry.modifier)
                result += VelString(entry.name) + VelString("+");
        }
        result += keyToString(int(combination & ~uint(Vel::KeyboardModifierMask)));
    }
    return result;
}

bool operator==(const VelKeySequence &a, const VelKeySequence &b)
{
    for (int i = 0; i < 4; ++i) {
        if (a.m_keys[i] != b.m_keys[i])
            return false;
    }
    return true;
}
