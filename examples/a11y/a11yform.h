#ifndef A11YFORM_H
#define A11YFORM_H

// The layout of the accessible form example: what it draws and what its
// accessible tree says, item by item, in window pixels. Tests that walk the
// tree from Java compare against the same table.

#include "velaccessible.h"

struct VelA11yFormItem {
    const char *name;
    VelAccessible::Role role;
    int x;
    int y;
    int width;
    int height;
};

enum VelA11yFormIndex {
    FormTitle,
    FormNameField,
    FormNotifications,
    FormOk,
    FormCancel,
    FormStatus,
    FormItemCount
};

constexpr VelA11yFormItem velA11yFormItems[FormItemCount] = {
    {"Settings", VelAccessible::StaticText, 16, 16, 300, 40},
    {"Name", VelAccessible::EditableText, 16, 72, 300, 48},
    {"Notifications", VelAccessible::CheckBox, 16, 136, 300, 48},
    {"OK", VelAccessible::PushButton, 16, 200, 140, 56},
    {"Cancel", VelAccessible::PushButton, 176, 200, 140, 56},
    {"Last action: none", VelAccessible::StaticText, 16, 272, 300, 40},
};

// The text field's initial value and selection.
constexpr const char *velA11yFormNameValue = "Vel";
constexpr int velA11yFormSelectionStart = 0;
constexpr int velA11yFormSelectionEnd = 3;
// The window's title, the name of the tree's root.
constexpr const char *velA11yFormTitle = "Accessible form";

#endif
