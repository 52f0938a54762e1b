#include "velaction.h"
#include "velcoreapplication.h"
#include "velmenu.h"
#include "velmenubar.h"
#include "velplatformmenu.h"
#include "velplatformmenubar.h"
#include "velplatformmenuitem.h"
#include "velplatformtheme.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace
{

std::vector<std::string> *g_log = nullptr;
void record(const std::string &entry)
{
    if (g_log)
        g_log->push_back(entry);
}

// Platform objects that keep what they are told, as a native bridge would.
class RecordingItem : public VelPlatformMenuItem
{
public:
    ~RecordingItem() override { record("delete item " + text.toStdString()); }
    void setTag(veluintptr t) override { tagValue = t; }
    veluintptr tag() const override { return tagValue; }
    void setText(const VelString &t) override { text = t; }
    void setIcon(const VelIcon &) override {}
    void setMenu(VelPlatformMenu *m) override { submenu = m; }
    void setVisible(bool v) override { visible = v; }
    void setIsSeparator(bool s) override { separator = s; }
    void setFont(const VelFont &) override {}
    void setRole(int r) override { role = r; }
    void setCheckable(bool c) override { checkable = c; }
    void setChecked(bool c) override { checked = c; }
    void setShortcut(const VelKeySequence &) override {}
    void setEnabled(bool e) override { enabled = e; }

    veluintptr tagValue = 0;
    VelString text;
    VelPlatformMenu *submenu = nullptr;
    bool visible = true;
    bool separator = false;
    int role = 0;
    bool checkable = false;
    bool checked = false;
    bool enabled = true;
};

class RecordingMenu : public VelPlatformMenu
{
public:
    ~RecordingMenu() override { record("delete menu " + text.toStdString()); }
    void insertMenuItem(VelPlatformMenuItem *item, VelPlatformMenuItem *before) override
    {
        auto it = std::find(items.begin(), items.end(), before);
        items.insert(before ? it : items.end(), item);
        record("insert " + name(item));
    }
    void removeMenuItem(VelPlatformMenuItem *item) override
    {
        auto it = std::find(items.begin(), items.end(), item);
        if (it != items.end())
            items.erase(it);
        record("remove " + name(item));
    }
    void syncMenuItem(VelPlatformMenuItem *item) override { record("sync " + name(item)); }
    void syncSeparatorsCollapsible(bool) override {}
    void setTag(veluintptr t) override { tagValue = t; }
    veluintptr tag() const override { return tagValue; }
    void setText(const VelString &t) override { text = t; }
    void setIcon(const VelIcon &) override {}
    void setEnabled(bool e) override { enabled = e; }
    void setVisible(bool) override {}
    void showPopup(const VelWindow *, const VelPoint &, const VelPlatformMenuItem *item) override
    {
        popups.push_back(item);
    }
    VelPlatformMenuItem *menuItemAt(int position) const override
    {
        return position >= 0 && position < int(items.size()) ? items[std::size_t(position)]
                                                             : nullptr;
    }
    VelPlatformMenuItem *menuItemForTag(veluintptr t) const override
    {
        for (VelPlatformMenuItem *item : items) {
            if (item->tag() == t)
                return item;
        }
        return nullptr;
    }

    std::vector<VelString> texts() const
    {
        std::vector<VelString> result;
        for (VelPlatformMenuItem *item : items)
            result.push_back(static_cast<RecordingItem *>(item)->text);
        return result;
    }
    static std::string name(VelPlatformMenuItem *item)
    {
        return static_cast<RecordingItem *>(item)->text.toStdString();
    }

    std::vector<VelPlatformMenuItem *> items;
    std::vector<const VelPlatformMenuItem *> popups;
    veluintptr tagValue = 0;
    VelString text;
    bool enabled = true;
};

class RecordingBar : public VelPlatformMenuBar
{
public:
    void insertMenu(VelPlatformMenu *menu, VelPlatformMenu *before) override
    {
        auto it = std::find(menus.begin(), menus.end(), before);
        menus.insert(before ? it : menus.end(), menu);
    }
    void removeMenu(VelPlatformMenu *menu) override
    {
        auto it = std::find(menus.begin(), menus.end(), menu);
        if (it != menus.end())
            menus.erase(it);
        record("bar remove " + static_cast<RecordingMenu *>(menu)->text.toStdString());
    }
    void syncMenu(VelPlatformMenu *) override { ++syncs; }
    void handleReparent(VelWindow *window) override
    {
        parentWindow = window;
        ++reparents;
    }
    VelPlatformMenu *menuForTag(veluintptr t) const override
    {
        for (VelPlatformMenu *m : menus) {
            if (m->tag() == t)
                return m;
        }
        return nullptr;
    }

    std::vector<VelPlatformMenu *> menus;
    VelWindow *parentWindow = nullptr;
    int reparents = 0;
    int syncs = 0;
};

class RecordingTheme : public VelPlatformTheme
{
public:
    VelPlatformMenuItem *createPlatformMenuItem() const override { return new RecordingItem; }
    VelPlatformMenu *createPlatformMenu() const override { return new RecordingMenu; }
    VelPlatformMenuBar *createPlatformMenuBar() const override { return new RecordingBar; }
};

RecordingMenu *platformOf(const VelMenu &menu)
{
    return static_cast<RecordingMenu *>(menu.platformMenu());
}

RecordingItem *itemOf(const VelMenu &menu, const VelAction *action)
{
    return static_cast<RecordingItem *>(menu.platformItem(action));
}

class MenuTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "gui_test_platform_menu";
        static char *argv[] = {name, nullptr};
        if (!VelCoreApplication::instance())
            s_app = new VelCoreApplication(argc, argv);
    }
    static void TearDownTestSuite()
    {
        delete s_app;
        s_app = nullptr;
    }
    void SetUp() override { g_log = &log; }
    void TearDown() override { g_log = nullptr; }

    static VelCoreApplication *s_app;
    RecordingTheme theme;
    std::vector<std::string> log;
};

VelCoreApplication *MenuTest::s_app = nullptr;

} // namespace

TEST_F(MenuTest, ActionsBecomeItemsInOrderWithTheirState)
{
    VelMenu menu("&File", nullptr, &theme);
    ASSERT_NE(platformOf(menu), nullptr);
    EXPECT_EQ(platformOf(menu)->text, VelString("&File"));

    VelAction *open = menu.addAction("Open");
    VelAction *separator = menu.addSeparator();
    VelAction *quit = menu.addAction("Quit");
    VelAction save("Save");
    save.setCheckable(true);
    save.setChecked(true);
    save.setEnabled(false);
    menu.insertAction(separator, &save);

    EXPECT_EQ(platformOf(menu)->texts(),
              (std::vector<VelString>{"Open", "Save", VelString(), "Quit"}));
    RecordingItem *saveItem = itemOf(menu, &save);
    ASSERT_NE(saveItem, nullptr);
    EXPECT_TRUE(saveItem->checkable);
    EXPECT_TRUE(saveItem->checked);
    EXPECT_FALSE(saveItem->enabled);
    EXPECT_TRUE(itemOf(menu, separator)->separator);
    EXPECT_EQ(menu.actions(), (std::vector<VelAction *>{open, &save, separator, quit}));
}

TEST_F(MenuTest, TagsAreUniqueNonZeroAndFitThirtyTwoBits)
{
    VelMenu menu("m", nullptr, &theme);
    VelMenu *sub = menu.addMenu("sub");
    std::set<veluintptr> tags{platformOf(menu)->tag(), platformOf(*sub)->tag()};
    for (int i = 0; i < 20; ++i)
        tags.insert(itemOf(menu, menu.addAction("a"))->tag());
    tags.insert(itemOf(menu, sub->menuAction())->tag());
    EXPECT_EQ(tags.size(), 23u);
    for (veluintptr tag : tags) {
        EXPECT_NE(tag, 0u);
        EXPECT_LT(tag, veluintptr(0xffffffffu));
    }
    EXPECT_EQ(platformOf(menu)->menuItemForTag(itemOf(menu, sub->menuAction())->tag()),
              itemOf(menu, sub->menuAction()));
}

TEST_F(MenuTest, ActionChangesAreSyncedToTheirItem)
{
    VelMenu menu("m", nullptr, &theme);
    VelAction *action = menu.addAction("Old");
    log.clear();
    action->setText("New");
    action->setVisible(false);
    RecordingItem *item = itemOf(menu, action);
    EXPECT_EQ(item->text, VelString("New"));
    EXPECT_FALSE(item->visible);
    EXPECT_EQ(log, (std::vector<std::string>{"sync New", "sync New"}));
}

TEST_F(MenuTest, RemovedActionsLeaveThePlatformListBeforeTheirItemGoes)
{
    VelMenu menu("m", nullptr, &theme);
    VelAction *keep = menu.addAction("Keep");
    auto gone = new VelAction("Gone");
    menu.addAction(gone);
    log.clear();
    delete gone; // deleted by its owner while still in the menu
    EXPECT_EQ(log, (std::vector<std::string>{"remove Gone", "delete item Gone"}));
    EXPECT_EQ(platformOf(menu)->texts(), (std::vector<VelString>{"Keep"}));

    log.clear();
    menu.removeAction(keep);
    EXPECT_EQ(log, (std::vector<std::string>{"remove Keep", "delete item Keep"}));
    EXPECT_TRUE(platformOf(menu)->items.empty());
    EXPECT_EQ(keep->parent(), &menu) << "removing does not delete the action";
}

TEST_F(MenuTest, AddingAnActionTwiceMovesIt)
{
    VelMenu menu("m", nullptr, &theme);
    VelAction *a = menu.addAction("A");
    menu.addAction("B");
    menu.addAction(a);
    EXPECT_EQ(platformOf(menu)->texts(), (std::vector<VelString>{"B", "A"}));
    EXPECT_EQ(menu.actions().size(), 2u);
}

TEST_F(MenuTest, ActivationTriggersTheActionAndTogglesCheckables)
{
    VelMenu menu("m", nullptr, &theme);
    VelAction *wrap = menu.addAction("Wrap");
    wrap->setCheckable(true);
    std::vector<bool> triggered;
    std::vector<VelAction *> menuTriggered;
    VelObject::connect(wrap, &VelAction::triggered,
                       [&](bool checked) { triggered.push_back(checked); });
    VelObject::connect(&menu, &VelMenu::triggered,
                       [&](VelAction *action) { menuTriggered.push_back(action); });

    itemOf(menu, wrap)->activated();
    VelCoreApplication::processEvents();
    EXPECT_EQ(triggered, std::vector<bool>{true});
    EXPECT_EQ(menuTriggered, std::vector<VelAction *>{wrap});
    EXPECT_TRUE(wrap->isChecked());
    EXPECT_TRUE(itemOf(menu, wrap)->checked) << "the new state goes back to the platform";

    wrap->setEnabled(false);
    itemOf(menu, wrap)->activated();
    VelCoreApplication::processEvents();
    EXPECT_EQ(triggered.size(), 1u) << "a disabled action does not fire";
}

TEST_F(MenuTest, SubmenuItemsPointAtTheSubmenusPlatformMenu)
{
    VelMenu menu("m", nullptr, &theme);
    VelMenu *recent = menu.addMenu("Recent");
    RecordingItem *item = itemOf(menu, recent->menuAction());
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->submenu, recent->platformMenu());
    EXPECT_EQ(item->text, VelString("Recent"));

    recent->setTitle("Recent files");
    EXPECT_EQ(item->text, VelString("Recent files"));
    EXPECT_EQ(platformOf(*recent)->text, VelString("Recent files"));
    recent->setEnabled(false);
    EXPECT_FALSE(item->enabled);
    EXPECT_FALSE(platformOf(*recent)->enabled);
}

TEST_F(MenuTest, DeletingASubmenuRemovesItsItemWhileItsPlatformMenuStillExists)
{
    VelMenu menu("m", nullptr, &theme);
    VelMenu *recent = menu.addMenu("Recent");
    log.clear();
    delete recent;
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], "remove Recent");
    EXPECT_EQ(log[1], "delete item Recent");
    EXPECT_EQ(log.back(), "delete menu Recent");
    EXPECT_TRUE(platformOf(menu)->items.empty());
    EXPECT_TRUE(menu.actions().empty());
}

TEST_F(MenuTest, ClearDeletesOnlyWhatTheMenuCreated)
{
    VelMenu menu("m", nullptr, &theme);
    VelAction foreign("Foreign");
    menu.addAction(&foreign);
    menu.addAction("Own");
    menu.addMenu("Sub");
    menu.clear();
    EXPECT_TRUE(menu.actions().empty());
    EXPECT_TRUE(platformOf(menu)->items.empty());
    EXPECT_EQ(menu.findChild<VelMenu *>(), nullptr);
    EXPECT_EQ(foreign.text(), VelString("Foreign"));
}

TEST_F(MenuTest, PopupNamesTheItemUnderThePointer)
{
    VelMenu menu("m", nullptr, &theme);
    VelAction *second = (menu.addAction("1"), menu.addAction("2"));
    menu.popup(nullptr, VelPoint(5, 5), second);
    menu.popup(nullptr, VelPoint(5, 5));
    ASSERT_EQ(platformOf(menu)->popups.size(), 2u);
    EXPECT_EQ(platformOf(menu)->popups[0], itemOf(menu, second));
    EXPECT_EQ(platformOf(menu)->popups[1], nullptr);
}

TEST_F(MenuTest, MenuBarKeepsPlatformMenusInStep)
{
    VelMenuBar bar(nullptr, &theme);
    auto platformBar = static_cast<RecordingBar *>(bar.platformMenuBar());
    ASSERT_NE(platformBar, nullptr);
    VelMenu *file = bar.addMenu("File");
    VelMenu *help = bar.addMenu("Help");
    VelMenu edit("Edit", nullptr, &theme);
    bar.insertMenu(help, &edit);
    EXPECT_EQ(platformBar->menus,
              (std::vector<VelPlatformMenu *>{file->platformMenu(), edit.platformMenu(),
                                              help->platformMenu()}));
    EXPECT_EQ(platformBar->menuForTag(edit.platformMenu()->tag()), edit.platformMenu());

    const int syncsBefore = platformBar->syncs;
    edit.setTitle("Edit!");
    EXPECT_GT(platformBar->syncs, syncsBefore);

    log.clear();
    delete help;
    EXPECT_EQ(log.front(), "bar remove Help") << "the bar lets go before the menu is deleted";
    EXPECT_EQ(platformBar->menus.size(), 2u);
    EXPECT_EQ(bar.menus(), (std::vector<VelMenu *>{file, &edit}));

    bar.setWindow(nullptr);
    EXPECT_EQ(platformBar->reparents, 1);
}

TEST_F(MenuTest, WithoutNativeMenusTheMenuStillWorks)
{
    VelPlatformTheme plain; // creates no platform objects
    VelMenu menu("m", nullptr, &plain);
    EXPECT_EQ(menu.platformMenu(), nullptr);
    VelAction *a = menu.addAction("A");
    EXPECT_EQ(menu.platformItem(a), nullptr);
    a->setText("B");
    menu.popup(nullptr, VelPoint());
    EXPECT_EQ(menu.actions().size(), 1u);
    VelMenuBar bar(nullptr, &plain);
    bar.addMenu(&menu);
    EXPECT_EQ(bar.menus().size(), 1u);
}
