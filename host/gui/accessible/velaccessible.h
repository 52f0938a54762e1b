#ifndef VELACCESSIBLE_H
#define VELACCESSIBLE_H

#include "velbytearray.h"
#include "velglobal.h"

class VelAccessibleEvent;
class VelAccessibleInterface;
class VelObject;
class VelString;
class VelWindow;

// The accessibility model: enumerations shared with platform bridges (by
// number) and the registry that names accessible interfaces by id.
//
// Ids: uniqueId() registers an interface (the registry then owns it) and
// answers a number that never is 0 nor 0xffffffff (which a bridge may read
// as -1, "no object"). accessibleInterface(id) answers null for ids never
// issued and for ids whose interface was deleted: ids are not reused while
// the counter has not wrapped. An interface made for a VelObject is deleted
// with that object.
//
// Thread safety: the registry may be read from any thread (bridges answer
// platform services from their own threads); interfaces themselves belong to
// the GUI thread and are only as safe to read elsewhere as their objects.
class VelAccessible
{
public:
    using Id = unsigned int;

    enum Event {
        SoundPlayed = 0x0001,
        Alert = 0x0002,
        ForegroundChanged = 0x0003,
        MenuStart = 0x0004,
        MenuEnd = 0x0005,
        PopupMenuStart = 0x0006,
        PopupMenuEnd = 0x0007,
        ContextHelpStart = 0x000C,
        ContextHelpEnd = 0x000D,
        DragDropStart = 0x000E,
        DragDropEnd = 0x000F,
        DialogStart = 0x0010,
        DialogEnd = 0x0011,
        ScrollingStart = 0x0012,
        ScrollingEnd = 0x0013,
        MenuCommand = 0x0018,
        ObjectCreated = 0x8000,
        ObjectDestroyed = 0x8001,
        ObjectShow = 0x8002,
        ObjectHide = 0x8003,
        ObjectReorder = 0x8004,
        Focus = 0x8005,
        Selection = 0x8006,
        SelectionAdd = 0x8007,
        SelectionRemove = 0x8008,
        SelectionWithin = 0x8009,
        StateChanged = 0x800A,
        LocationChanged = 0x800B,
        NameChanged = 0x800C,
        DescriptionChanged = 0x800D,
        ValueChanged = 0x800E,
        ParentChanged = 0x800F,
        HelpChanged = 0x80A0,
        DefaultActionChanged = 0x80B0,
        AcceleratorChanged = 0x80C0,
        TextCaretMoved = 0x0125,
        TextInserted = 0x0126,
        TextRemoved = 0x0127,
        TextUpdated = 0x0128,
        TextSelectionChanged = 0x0129
    };

    enum Role {
        NoRole = 0x00,
        TitleBar = 0x01,
        MenuBar = 0x02,
        ScrollBar = 0x03,
        Grip = 0x04,
        Sound = 0x05,
        Cursor = 0x06,
        Caret = 0x07,
        AlertMessage = 0x08,
        Window = 0x09,
        Client = 0x0A,
        PopupMenu = 0x0B,
        MenuItem = 0x0C,
        ToolTip = 0x0D,
        Application = 0x0E,
        Document = 0x0F,
        Pane = 0x10,
        Chart = 0x11,
        Dialog = 0x12,
        Border = 0x13,
        Grouping = 0x14,
        Separator = 0x15,
        ToolBar = 0x16,
        StatusBar = 0x17,
        Table = 0x18,
        ColumnHeader = 0x19,
        RowHeader = 0x1A,
        Column = 0x1B,
        Row = 0x1C,
        Cell = 0x1D,
        Link = 0x1E,
        HelpBalloon = 0x1F,
        Assistant = 0x20,
        List = 0x21,
        ListItem = 0x22,
        Tree = 0x23,
        TreeItem = 0x24,
        PageTab = 0x25,
        PropertyPage = 0x26,
        Indicator = 0x27,
        Graphic = 0x28,
        StaticText = 0x29,
        EditableText = 0x2A,
        PushButton = 0x2B,
        CheckBox = 0x2C,
        RadioButton = 0x2D,
        ComboBox = 0x2E,
        ProgressBar = 0x30,
        Dial = 0x31,
        HotkeyField = 0x32,
        Slider = 0x33,
        SpinBox = 0x34,
        Canvas = 0x35,
        Animation = 0x36,
        Equation = 0x37,
        ButtonDropDown = 0x38,
        ButtonMenu = 0x39,
        ButtonDropGrid = 0x3A,
        Whitespace = 0x3B,
        PageTabList = 0x3C,
        Clock = 0x3D,
        Splitter = 0x3E,
        LayeredPane = 0x80,
        Terminal = 0x81,
        Desktop = 0x82,
        Paragraph = 0x83,
        WebDocument = 0x84,
        Section = 0x85,
        ColorChooser = 0x404,
        Footer = 0x40E,
        Form = 0x410,
        Heading = 0x414,
        Note = 0x41B,
        ComplementaryContent = 0x42C,
        UserRole = 0x0000ffff
    };

    enum Text {
        Name = 0,
        Description = 1,
        Value = 2,
        Help = 3,
        Accelerator = 4,
        DebugDescription = 5,
        UserText = 0x0000ffff
    };

    enum InterfaceType {
        TextInterface = 0,
        EditableTextInterface = 1,
        ValueInterface = 2,
        ActionInterface = 3,
        ImageInterface = 4,
        TableInterface = 5,
        TableCellInterface = 6
    };

    // The state of an accessible object. Each flag has a fixed bit position
    // in toBits()/fromBits(), which is how bridges exchange states.
    struct State {
        enum Bit {
            DisabledBit = 0,
            SelectedBit = 1,
            FocusableBit = 2,
            FocusedBit = 3,
            PressedBit = 4,
            CheckableBit = 5,
            CheckedBit = 6,
            CheckStateMixedBit = 7,
            ReadOnlyBit = 8,
            HotTrackedBit = 9,
            DefaultButtonBit = 10,
            ExpandedBit = 11,
            CollapsedBit = 12,
            BusyBit = 13,
            ExpandableBit = 14,
            MarqueedBit = 15,
            AnimatedBit = 16,
            InvisibleBit = 17,
            OffscreenBit = 18,
            SizeableBit = 19,
            MovableBit = 20,
            SelfVoicingBit = 21,
            SelectableBit = 22,
            LinkedBit = 23,
            TraversedBit = 24,
            MultiSelectableBit = 25,
            ExtSelectableBit = 26,
            PasswordEditBit = 27,
            HasPopupBit = 28,
            ModalBit = 29,
            ActiveBit = 30,
            InvalidBit = 31,
            EditableBit = 32,
            MultiLineBit = 33,
            SelectableTextBit = 34,
            SupportsAutoCompletionBit = 35,
            SearchEditBit = 36,
            NBits = 37
        };

        bool disabled = false;
        bool selected = false;
        bool focusable = false;
        bool focused = false;
        bool pressed = false;
        bool checkable = false;
        bool checked = false;
        bool checkStateMixed = false;
        bool readOnly = false;
        bool hotTracked = false;
        bool defaultButton = false;
        bool expanded = false;
        bool collapsed = false;
        bool busy = false;
        bool expandable = false;
        bool marqueed = false;
        bool animated = false;
        bool invisible = false;
        bool offscreen = false;
        bool sizeable = false;
        bool movable = false;
        bool selfVoicing = false;
        bool selectable = false;
        bool linked = false;
        bool traversed = false;
        bool multiSelectable = false;
        bool extSelectable = false;
        bool passwordEdit = false;
        bool hasPopup = false;
        bool modal = false;
        bool active = false;
        bool invalid = false;
        bool editable = false;
        bool multiLine = false;
        bool selectableText = false;
        bool supportsAutoCompletion = false;
        bool searchEdit = false;

        bool test(Bit bit) const;
        void set(Bit bit, bool on = true);
        veluint64 toBits() const;
        static State fromBits(veluint64 bits);
        friend bool operator==(const State &a, const State &b) { return a.toBits() == b.toBits(); }
        friend bool operator!=(const State &a, const State &b) { return !(a == b); }
    };

    // Finds or makes the interface of an object: a registered interface for
    // that object first, then the installed factories (newest first). The
    // registry owns what a factory made and deletes it with the object.
    using InterfaceFactory = VelAccessibleInterface *(*)(const VelString &className,
                                                         VelObject *object);
    static VelAccessibleInterface *queryAccessibleInterface(VelObject *object);
    static void installFactory(InterfaceFactory factory);
    static void removeFactory(InterfaceFactory factory);
    // The root of a window's accessible tree (the window's own interface);
    // null for null.
    static VelAccessibleInterface *accessibleRoot(VelWindow *window);

    // The id of an interface, registering it (and taking ownership) when
    // needed; 0 for null.
    static Id uniqueId(VelAccessibleInterface *iface);
    // Null for ids never issued or whose interface is gone.
    static VelAccessibleInterface *accessibleInterface(Id id);
    static Id registerAccessibleInterface(VelAccessibleInterface *iface);
    // Deletes the interface and retires its id.
    static void deleteAccessibleInterface(Id id);

    // Platform accessibility on/off (set by the platform bridge).
    static bool isActive();
    static void setActive(bool active);
    // Tells the platform about a change; does nothing while inactive.
    static void updateAccessibility(VelAccessibleEvent *event);

private:
    VelAccessible() = delete;
};

// The display name of a role for users (UTF-8), e.g. "button" for PushButton;
// "unknown" for values without one.
VelByteArray velAccessibleRoleString(VelAccessible::Role role);

#endif
