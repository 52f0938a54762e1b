// The menu bridge and the Android menu objects through a real Java VM: the
// options menu from a menu bar, context menus and their queue, choices, the
// active window, icons and labels, and menus that go away while Android still
// refers to them. The VM exists once per process, so the cases share it; each
// leaves no menu object behind.

#include "menutestsupport.h"

#include "androidjnimain.h"
#include "androidjnimenu.h"
#include "velandroidplatformmenu.h"
#include "velandroidplatformmenubar.h"
#include "velandroidplatformmenuitem.h"

#include "velicon.h"
#include "velimage.h"
#include "velwindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace
{

std::string tagText(veluintptr tag)
{
    return std::to_string(jint(veluint32(tag)));
}

// The line the recorded Android menu keeps for an item without an icon.
std::string line(veluintptr tag, int order, const std::string &title, bool checkable = false,
                 bool checked = false, bool enabled = true, bool visible = true)
{
    auto b = [](bool v) { return v ? std::string("true") : std::string("false"); };
    return tagText(tag) + "|" + std::to_string(order) + "|" + title + "|" + b(checkable) + "|" +
           b(checked) + "|" + b(enabled) + "|" + b(visible) + "|-";
}

VelImage solidImage(int edge, VelRgb colour)
{
    VelImage image(edge, edge, VelImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

class MenuBridgeTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(driver.startJavaVm(VelAndroidDriver::VmOptions())) << driver.lastError();
        char pattern[] = "/tmp/velmenusXXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        ASSERT_TRUE(driver.createActivity(pattern)) << driver.lastError();
        ASSERT_TRUE(driver.loadLibrary(VEL_TEST_PLUGIN)) << driver.lastError();
        gui = new MenuGuiThread;
    }
    static void TearDownTestSuite()
    {
        delete gui;
        gui = nullptr;
    }

    void SetUp() override
    {
        ::unsetenv("VEL_ANDROID_APP_ICON_SIZE");
        ASSERT_TRUE(driver.clearJavaCalls());
    }

    void TearDown() override
    {
        gui->call([this] {
            for (auto it = owned.rbegin(); it != owned.rend(); ++it)
                delete *it;
            owned.clear();
            VelAndroidMenu::setActiveTopLevelWindow(nullptr);
        });
        driver.callStaticVoid("org/vel/android/VelNative", "setFailMenuCalls", "(Z)V",
                              {jvalue{.z = JNI_FALSE}});
    }

    // -- Building on the GUI thread -------------------------------------------

    template <typename T> T *own(T *object)
    {
        owned.push_back(object);
        return object;
    }

    VelAndroidPlatformMenu *newMenu(const char *text)
    {
        auto *menu = own(new VelAndroidPlatformMenu);
        menu->setText(VelString(text));
        return menu;
    }

    VelAndroidPlatformMenuItem *addItem(VelAndroidPlatformMenu *menu, const char *text)
    {
        auto *item = own(new VelAndroidPlatformMenuItem);
        item->setText(VelString(text));
        menu->insertMenuItem(item, nullptr);
        return item;
    }

    VelAndroidPlatformMenuItem *addSeparator(VelAndroidPlatformMenu *menu)
    {
        auto *item = addItem(menu, "");
        item->setIsSeparator(true);
        return item;
    }

    VelAndroidPlatformMenuItem *addSubmenu(VelAndroidPlatformMenu *menu, const char *text,
                                           VelAndroidPlatformMenu *submenu)
    {
        auto *item = addItem(menu, text);
        item->setMenu(submenu);
        return item;
    }

    VelWindow *newWindow(Vel::WindowFlags flags = Vel::Window)
    {
        auto *window = own(new VelWindow(static_cast<VelScreen *>(nullptr)));
        window->setFlags(flags);
        return window;
    }

    // A bar for the window, which is made the active one.
    VelAndroidPlatformMenuBar *barFor(VelWindow *window,
                                      const std::vector<VelAndroidPlatformMenu *> &menus)
    {
        auto *bar = own(new VelAndroidPlatformMenuBar);
        for (VelAndroidPlatformMenu *menu : menus)
            bar->insertMenu(menu, nullptr);
        bar->handleReparent(window);
        VelAndroidMenu::setActiveTopLevelWindow(window);
        return bar;
    }

    void destroy(VelObject *object)
    {
        gui->call([&] {
            owned.erase(std::remove(owned.begin(), owned.end(), object), owned.end());
            delete object;
        });
    }

    static VelAndroidDriver driver;
    static MenuGuiThread *gui;
    std::vector<VelObject *> owned; // touched on the GUI thread only
    MenuNatives natives{driver};
};

VelAndroidDriver MenuBridgeTest::driver;
MenuGuiThread *MenuBridgeTest::gui = nullptr;

// -- Labels, icon sizes and tags (no Java needed) -------------------------------

TEST(MenuLabels, AmpersandsMarkMnemonicsAndDoubleOnesStay)
{
    const struct {
        const char *text;
        const char *label;
    } cases[] = {
        {"Print&&Go &Now", "Print&Go Now"},
        {"&&Save &As ", "&Save As"},
        {"  &Open  ", "Open"},
        {"Trailing&", "Trailing"},
        {"&", ""},
        {"&&", "&"},
        {"&&&", "&"},
        {"a&&&b", "a&b"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(VelAndroidMenu::removeAmpersandEscapes(VelString(c.text)).toStdString(), c.label)
            << '"' << c.text << '"';
}

TEST(MenuIcons, EdgeIsAtLeast36AndCapped)
{
    const struct {
        const char *value;
        int edge;
    } cases[] = {
        {nullptr, 36},
        {"", 36},
        {"24", 36},
        {"36", 36},
        {"48", 48},
        {"48px", 48},
        {"junk", 36},
        {"-100", 36},
        {"512", 512},
        {"513", 512},
        {"99999999999999999999999", 512},
    };
    for (const auto &c : cases) {
        if (c.value)
            ::setenv("VEL_ANDROID_APP_ICON_SIZE", c.value, 1);
        else
            ::unsetenv("VEL_ANDROID_APP_ICON_SIZE");
        EXPECT_EQ(VelAndroidMenu::iconEdge(), c.edge) << (c.value ? c.value : "(unset)");
    }
    ::unsetenv("VEL_ANDROID_APP_ICON_SIZE");
}

TEST(MenuTags, NewObjectsGetDistinctPositiveIdsAboveTheFrameworksCounter)
{
    // Tags do not come from addresses at all, so two objects whose addresses
    // share their low 32 bits cannot share a tag; what is checked here is
    // that every live object's tag differs and is a positive Android id.
    std::vector<std::unique_ptr<VelAndroidPlatformMenuItem>> items;
    std::vector<std::unique_ptr<VelAndroidPlatformMenu>> menus;
    std::set<veluintptr> tags;
    for (int i = 0; i < 500; ++i) {
        items.push_back(std::make_unique<VelAndroidPlatformMenuItem>());
        menus.push_back(std::make_unique<VelAndroidPlatformMenu>());
        tags.insert(items.back()->tag());
        tags.insert(menus.back()->tag());
    }
    EXPECT_EQ(tags.size(), 1000u);
    for (veluintptr tag : tags) {
        EXPECT_GE(tag, 0x40000000u);
        EXPECT_LE(tag, 0x7fffffffu);
    }
    // A tag the framework sets is the one Android sees.
    items.front()->setTag(7);
    EXPECT_EQ(items.front()->tag(), 7u);
}

// -- The menu objects -----------------------------------------------------------

TEST(MenuObjects, ListEditsAndLookups)
{
    VelAndroidPlatformMenu menu;
    VelAndroidPlatformMenuItem a, b, c, d, stranger;
    a.setTag(1);
    b.setTag(2);
    c.setTag(3);
    d.setTag(2); // the same tag as b
    menu.insertMenuItem(&a, nullptr);
    menu.insertMenuItem(&b, nullptr);
    menu.insertMenuItem(&c, &b);
    EXPECT_EQ(menu.menuItems(), (VelAndroidPlatformMenu::PlatformMenuItemList{&a, &c, &b}));
    menu.insertMenuItem(&d, &stranger);
    EXPECT_EQ(menu.menuItems(), (VelAndroidPlatformMenu::PlatformMenuItemList{&a, &c, &b, &d}));
    menu.removeMenuItem(&stranger);
    EXPECT_EQ(menu.menuItems().size(), 4u);

    EXPECT_EQ(menu.menuItemAt(-1), nullptr);
    EXPECT_EQ(menu.menuItemAt(4), nullptr);
    EXPECT_EQ(menu.menuItemAt(0), &a);
    EXPECT_EQ(menu.menuItemAt(3), &d);
    EXPECT_EQ(menu.menuItemForTag(2), &b);
    EXPECT_EQ(menu.menuItemForTag(99), nullptr);

    // The same item twice: removal takes the first.
    menu.insertMenuItem(&a, nullptr);
    menu.removeMenuItem(&a);
    EXPECT_EQ(menu.menuItems(), (VelAndroidPlatformMenu::PlatformMenuItemList{&c, &b, &d, &a}));

    VelAndroidPlatformMenuBar bar;
    VelAndroidPlatformMenu file, edit, view;
    file.setTag(10);
    edit.setTag(11);
    bar.insertMenu(&file, nullptr);
    bar.insertMenu(&edit, nullptr);
    bar.insertMenu(&view, &edit);
    EXPECT_EQ(bar.menus(), (VelAndroidPlatformMenuBar::PlatformMenusType{&file, &view, &edit}));
    bar.removeMenu(&menu);
    bar.removeMenu(&view);
    EXPECT_EQ(bar.menus(), (VelAndroidPlatformMenuBar::PlatformMenusType{&file, &edit}));
    EXPECT_EQ(bar.menuForTag(11), &edit);
    EXPECT_EQ(bar.menuForTag(12), nullptr);
}

TEST(MenuObjects, SubmenuFollowsItsItem)
{
    VelAndroidPlatformMenuItem item;
    item.setText(VelString("Recent"));
    item.setVisible(false);
    VelAndroidPlatformMenu submenu;
    item.setMenu(&submenu);
    EXPECT_EQ(submenu.text().toStdString(), "Recent");
    EXPECT_FALSE(submenu.isVisible());
    EXPECT_TRUE(submenu.isEnabled());
    item.setEnabled(false);
    EXPECT_FALSE(submenu.isEnabled());
    item.setText(VelString("Recent files"));
    EXPECT_EQ(submenu.text().toStdString(), "Recent files");
    item.setMenu(nullptr);
    item.setText(VelString("Other"));
    EXPECT_EQ(submenu.text().toStdString(), "Recent files");
}

// -- The options menu -----------------------------------------------------------

TEST_F(MenuBridgeTest, ABarWithOneMenuShowsThatMenusItems)
{
    VelAndroidPlatformMenuItem *open = nullptr, *quit = nullptr;
    gui->call([&] {
        VelAndroidPlatformMenu *file = newMenu("&File");
        open = addItem(file, "&Open");
        addSeparator(file);
        quit = addItem(file, "&Quit");
        barFor(newWindow(), {file});
    });
    EXPECT_GE(driver.javaCallCount("resetOptionsMenu"), 1);

    JavaMenu options(driver.env());
    EXPECT_TRUE(natives.prepareOptionsMenu(options));
    EXPECT_EQ(options.lines(), (std::vector<std::string>{line(open->tag(), 0, "Open"),
                                                         line(quit->tag(), 1, "Quit")}));
}

TEST_F(MenuBridgeTest, ABarWithTwoMenusShowsOneItemPerMenuAndChoosingOnePopsItUp)
{
    VelAndroidPlatformMenu *file = nullptr, *edit = nullptr;
    VelAndroidPlatformMenuItem *copy = nullptr;
    std::vector<std::thread::id> shownOn;
    gui->call([&] {
        file = newMenu("&File");
        addItem(file, "Open");
        edit = newMenu("&Edit");
        copy = addItem(edit, "&Copy");
        addItem(edit, "Paste")->setEnabled(false);
        barFor(newWindow(), {file, edit});
        VelObject::connect(edit, &VelPlatformMenu::aboutToShow, edit,
                           [&] { shownOn.push_back(std::this_thread::get_id()); });
    });

    JavaMenu options(driver.env());
    EXPECT_TRUE(natives.prepareOptionsMenu(options));
    EXPECT_EQ(options.lines(), (std::vector<std::string>{line(file->tag(), 0, "File"),
                                                         line(edit->tag(), 1, "Edit")}));

    EXPECT_TRUE(natives.optionsItemSelected(edit->tag(), false));
    EXPECT_EQ(driver.javaCallCount("openContextMenu"), 1);
    EXPECT_EQ(shownOn, std::vector<std::thread::id>{gui->id()});

    JavaMenu context(driver.env());
    natives.createContextMenu(context);
    EXPECT_EQ(context.headerTitle(), "Edit");
    ASSERT_EQ(context.lines().size(), 2u);
    EXPECT_EQ(context.lines()[0], line(copy->tag(), 0, "Copy"));
    EXPECT_NE(context.lines()[1].find("|Paste|false|false|false|true|"), std::string::npos)
        << context.lines()[1];
    natives.contextMenuClosed();
}

TEST_F(MenuBridgeTest, ASubmenuOfTheOptionsMenuPopsUpTitledWithItsItem)
{
    VelAndroidPlatformMenuItem *recentItem = nullptr, *first = nullptr;
    std::vector<std::string> activated;
    gui->call([&] {
        VelAndroidPlatformMenu *file = newMenu("File");
        addItem(file, "Open");
        VelAndroidPlatformMenu *recent = newMenu("");
        first = addItem(recent, "first.txt");
        recentItem = addSubmenu(file, "&Recent", recent);
        barFor(newWindow(), {file});
        VelObject::connect(first, &VelPlatformMenuItem::activated, first,
                           [&] { activated.push_back("first.txt"); });
    });
    JavaMenu options(driver.env());
    EXPECT_TRUE(natives.prepareOptionsMenu(options));
    EXPECT_TRUE(natives.optionsItemSelected(recentItem->tag(), false));
    EXPECT_EQ(driver.javaCallCount("openContextMenu"), 1);

    JavaMenu context(driver.env());
    natives.createContextMenu(context);
    EXPECT_EQ(context.headerTitle(), "Recent");
    EXPECT_EQ(context.lines(), std::vector<std::string>{line(first->tag(), 0, "first.txt")});
    EXPECT_TRUE(natives.contextItemSelected(first->tag(), false));
    natives.contextMenuClosed();
    EXPECT_EQ(activated, std::vector<std::string>{"first.txt"});
}

TEST_F(MenuBridgeTest, ACheckableItemHoldsTheNewStateWhenItsActivationArrives)
{
    VelAndroidPlatformMenuItem *wrap = nullptr;
    std::vector<bool> stateSeen;
    std::vector<std::thread::id> threads;
    gui->call([&] {
        VelAndroidPlatformMenu *view = newMenu("View");
        wrap = addItem(view, "Wrap lines");
        wrap->setCheckable(true);
        barFor(newWindow(), {view});
        VelObject::connect(wrap, &VelPlatformMenuItem::activated, wrap, [&] {
            stateSeen.push_back(wrap->isChecked());
            threads.push_back(std::this_thread::get_id());
        });
    });
    JavaMenu options(driver.env());
    EXPECT_TRUE(natives.prepareOptionsMenu(options));
    EXPECT_EQ(options.lines(), std::vector<std::string>{line(wrap->tag(), 0, "Wrap lines", true)});
    EXPECT_TRUE(natives.optionsItemSelected(wrap->tag(), true));
    EXPECT_TRUE(natives.optionsItemSelected(wrap->tag(), false));
    EXPECT_EQ(stateSeen, (std::vector<bool>{true, false}));
    EXPECT_EQ(threads, (std::vector<std::thread::id>{gui->id(), gui->id()}));
}

TEST_F(MenuBridgeTest, DialogsAndPopupsDoNotTakeTheOptionsMenu)
{
    VelAndroidPlatformMenuItem *open = nullptr;
    VelWindow *dialog = nullptr, *popup = nullptr, *tool = nullptr;
    gui->call([&] {
        VelAndroidPlatformMenu *file = newMenu("File");
        open = addItem(file, "Open");
        barFor(newWindow(), {file});
        dialog = newWindow(Vel::Dialog);
        popup = newWindow(Vel::Popup);
        tool = newWindow(Vel::ToolTip);
    });
    ASSERT_TRUE(driver.clearJavaCalls());
    gui->call([&] {
        VelAndroidMenu::setActiveTopLevelWindow(dialog);
        VelAndroidMenu::setActiveTopLevelWindow(popup);
        VelAndroidMenu::setActiveTopLevelWindow(tool);
    });
    EXPECT_EQ(driver.javaCallCount("resetOptionsMenu"), 0);
    JavaMenu options(driver.env());
    EXPECT_TRUE(natives.prepareOptionsMenu(options));
    EXPECT_EQ(options.lines(), std::vector<std::string>{line(open->tag(), 0, "Open")});

    // Another plain window without a bar does take it: no options then.
    gui->call([&] { VelAndroidMenu::setActiveTopLevelWindow(newWindow()); });
    EXPECT_EQ(driver.javaCallCount("resetOptionsMenu"), 1);
    JavaMenu none(driver.env());
    EXPECT_FALSE(natives.prepareOptionsMenu(none));
    EXPECT_TRUE(none.lines().empty());
    EXPECT_FALSE(natives.optionsItemSelected(open->tag(), false));
}

TEST_F(MenuBridgeTest, ANewWindowIsNeverTakenForTheDestroyedActiveOne)
{
    VelWindow *first = nullptr;
    gui->call([&] {
        first = newWindow();
        VelAndroidMenu::setActiveTopLevelWindow(first);
    });
    destroy(first);
    // A new window may well reuse the address; it is still a new window, and
    // its bar becomes the options menu.
    VelAndroidPlatformMenuItem *item = nullptr;
    gui->call([&] {
        VelWindow *second = newWindow();
        VelAndroidPlatformMenu *menu = newMenu("Second");
        item = addItem(menu, "Only");
        auto *bar = own(new VelAndroidPlatformMenuBar);
        bar->insertMenu(menu, nullptr);
        bar->handleReparent(second);
        VelAndroidMenu::setActiveTopLevelWindow(second);
    });
    JavaMenu options(driver.env());
    EXPECT_TRUE(natives.prepareOptionsMenu(options));
    EXPECT_EQ(options.lines(), std::vector<std::string>{line(item->tag(), 0, "Only")});
}

TEST_F(MenuBridgeTest, ABarLeavesTheOptionsMenuWhenDestroyedOrMovedAway)
{
    VelAndroidPlatformMenuBar *bar = nullptr;
    VelWindow *other = nullptr;
    gui->call([&] {
        VelAndroidPlatformMenu *file = newMenu("File");
        addItem(file, "Open");
        bar = barFor(newWindow(), {file});
        other = newWindow();
    });
    JavaMenu options(driver.env());
    EXPECT_TRUE(natives.prepareOptionsMenu(options));
    gui->call([&] { bar->handleReparent(other); });
    EXPECT_FALSE(natives.prepareOptionsMenu(options));

    VelAndroidPlatformMenuBar *second = nullptr;
    gui->call([&] {
        VelWindow *window = newWindow();
        VelAndroidPlatformMenu *edit = newMenu("Edit");
        addItem(edit, "Copy");
        second = barFor(window, {edit});
    });
    EXPECT_TRUE(natives.prepareOptionsMenu(options));
    ASSERT_TRUE(driver.clearJavaCalls());
    destroy(second);
    EXPECT_EQ(driver.javaCallCount("resetOptionsMenu"), 1);
    EXPECT_FALSE(natives.prepareOptionsMenu(options));
}

// -- Icons ----------------------------------------------------------------------

TEST_F(MenuBridgeTest, IconsComeAtTheConfiguredSizeInAndroidByteOrder)
{
    VelAndroidPlatformMenuItem *red = nullptr;
    gui->call([&] {
        VelAndroidPlatformMenu *file = newMenu("File");
        red = addItem(file, "Red");
        red->setIcon(VelIcon(VelPixmap::fromImage(solidImage(16, velRgb(255, 0, 0)))));
        addItem(file, "Plain");
        barFor(newWindow(), {file});
    });
    const struct {
        const char *size;
        const char *expected;
    } cases[] = {{nullptr, "36x36"}, {"24", "36x36"}, {"48", "48x48"}};
    for (const auto &c : cases) {
        if (c.size)
            ::setenv("VEL_ANDROID_APP_ICON_SIZE", c.size, 1);
        JavaMenu options(driver.env());
        EXPECT_TRUE(natives.prepareOptionsMenu(options));
        const std::vector<std::string> lines = options.lines();
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].substr(lines[0].rfind('|') + 1), c.expected) << lines[0];
        EXPECT_EQ(lines[1].substr(lines[1].rfind('|') + 1), "-") << lines[1];
    }
    JavaMenu options(driver.env());
    EXPECT_TRUE(natives.prepareOptionsMenu(options));
    const std::vector<uint8_t> bytes = options.iconBytes(0);
    ASSERT_EQ(bytes.size(), 48u * 48u * 4u);
    // The centre, the first and the last pixel: red arrives red, opaque.
    for (size_t pixel : {size_t(0), size_t(24 * 48 + 24), size_t(48 * 48 - 1)}) {
        const std::vector<uint8_t> rgba(bytes.begin() + long(pixel * 4),
                                        bytes.begin() + long(pixel * 4 + 4));
        EXPECT_EQ(rgba, (std::vector<uint8_t>{255, 0, 0, 255})) << "pixel " << pixel;
    }
}

// -- Context menus ----------------------------------------------------------------

TEST_F(MenuBridgeTest, TwoPopupsInARowOpenOneAfterTheOther)
{
    VelAndroidPlatformMenu *first = nullptr, *second = nullptr;
    std::vector<std::string> events;
    gui->call([&] {
        first = newMenu("First");
        addItem(first, "One");
        second = newMenu("Second");
        addItem(second, "Two");
        for (VelAndroidPlatformMenu *menu : {first, second}) {
            const std::string name = menu->text().toStdString();
            VelObject::connect(menu, &VelPlatformMenu::aboutToShow, menu,
                               [&events, name] { events.push_back("show " + name); });
            VelObject::connect(menu, &VelPlatformMenu::aboutToHide, menu,
                               [&events, name] { events.push_back("hide " + name); });
        }
        first->showPopup(nullptr, VelPoint(), nullptr);
        second->showPopup(nullptr, VelPoint(), nullptr);
    });
    EXPECT_EQ(driver.javaCallCount("openContextMenu"), 1);
    JavaMenu shownFirst(driver.env());
    natives.createContextMenu(shownFirst);
    EXPECT_EQ(shownFirst.headerTitle(), "First");

    natives.contextMenuClosed();
    EXPECT_EQ(driver.javaCallCount("openContextMenu"), 2);
    JavaMenu shownSecond(driver.env());
    natives.createContextMenu(shownSecond);
    EXPECT_EQ(shownSecond.headerTitle(), "Second");
    natives.contextMenuClosed();
    EXPECT_EQ(driver.javaCallCount("openContextMenu"), 2);
    gui->call([] {});
    EXPECT_EQ(events,
              (std::vector<std::string>{"show First", "hide First", "show Second", "hide Second"}));
}

TEST_F(MenuBridgeTest, ASubmenuChosenInAContextMenuOpensAfterItCloses)
{
    VelAndroidPlatformMenu *edit = nullptr;
    VelAndroidPlatformMenuItem *moreItem = nullptr;
    gui->call([&] {
        edit = newMenu("Edit");
        VelAndroidPlatformMenu *more = newMenu("");
        addItem(more, "Select all");
        moreItem = addSubmenu(edit, "More", more);
        edit->showPopup(nullptr, VelPoint(), nullptr);
    });
    JavaMenu context(driver.env());
    natives.createContextMenu(context);
    EXPECT_TRUE(natives.contextItemSelected(moreItem->tag(), false));
    EXPECT_EQ(driver.javaCallCount("openContextMenu"), 1);
    natives.contextMenuClosed();
    EXPECT_EQ(driver.javaCallCount("openContextMenu"), 2);
    JavaMenu submenu(driver.env());
    natives.createContextMenu(submenu);
    EXPECT_EQ(submenu.headerTitle(), "More");
    natives.contextMenuClosed();
}

TEST_F(MenuBridgeTest, HidingAQueuedMenuTakesItOutOfTheQueue)
{
    VelAndroidPlatformMenu *first = nullptr, *second = nullptr;
    gui->call([&] {
        first = newMenu("First");
        second = newMenu("Second");
        first->showPopup(nullptr, VelPoint(), nullptr);
        second->showPopup(nullptr, VelPoint(), nullptr);
        VelAndroidMenu::hideContextMenu(second);
    });
    natives.contextMenuClosed();
    EXPECT_EQ(driver.javaCallCount("openContextMenu"), 1);
    // Hiding the visible one asks Android to close it.
    gui->call([&] {
        first->showPopup(nullptr, VelPoint(), nullptr);
        VelAndroidMenu::hideContextMenu(first);
    });
    EXPECT_EQ(driver.javaCallCount("closeContextMenu"), 1);
    natives.contextMenuClosed();
}

TEST_F(MenuBridgeTest, DestroyedMenusAreNeverHandedOutAgain)
{
    VelAndroidPlatformMenu *visible = nullptr, *queued = nullptr, *later = nullptr;
    VelAndroidPlatformMenuItem *visibleItem = nullptr;
    gui->call([&] {
        visible = newMenu("Visible");
        visibleItem = addItem(visible, "Gone soon");
        queued = newMenu("Queued");
        later = newMenu("Later");
        visible->showPopup(nullptr, VelPoint(), nullptr);
        queued->showPopup(nullptr, VelPoint(), nullptr);
    });
    destroy(queued);
    natives.contextMenuClosed();
    EXPECT_EQ(driver.javaCallCount("openContextMenu"), 1) << "the destroyed menu was reopened";

    gui->call([&] { visible->showPopup(nullptr, VelPoint(), nullptr); });
    EXPECT_EQ(driver.javaCallCount("openContextMenu"), 2);
    const veluintptr goneTag = visibleItem->tag();
    destroy(visibleItem);
    destroy(visible);
    // Android still shows the menu: filling it and choosing in it are safe.
    JavaMenu stale(driver.env());
    natives.createContextMenu(stale);
    EXPECT_TRUE(stale.lines().empty());
    EXPECT_EQ(stale.headerTitle(), "(none)");
    EXPECT_TRUE(natives.contextItemSelected(goneTag, true));
    // And the next pop-up does not wait behind it.
    gui->call([&] { later->showPopup(nullptr, VelPoint(), nullptr); });
    EXPECT_EQ(driver.javaCallCount("openContextMenu"), 3);
    natives.contextMenuClosed();
}

TEST_F(MenuBridgeTest, ChoicesForTagsThatNoLongerExistAreAnsweredSafely)
{
    VelAndroidPlatformMenuItem *gone = nullptr;
    VelAndroidPlatformMenu *file = nullptr;
    gui->call([&] {
        file = newMenu("File");
        gone = addItem(file, "Gone");
        addItem(file, "Stays");
        barFor(newWindow(), {file});
    });
    const veluintptr goneTag = gone->tag();
    gui->call([&] { file->removeMenuItem(gone); });
    destroy(gone);
    EXPECT_TRUE(natives.optionsItemSelected(goneTag, false));
    EXPECT_TRUE(natives.optionsItemSelected(0, false));
    EXPECT_TRUE(natives.optionsItemSelected(0xffffffffu, true));
    // No context menu is visible at all.
    EXPECT_TRUE(natives.contextItemSelected(goneTag, false));
    JavaMenu context(driver.env());
    natives.createContextMenu(context);
    EXPECT_TRUE(context.lines().empty());
    natives.contextMenuClosed();
    EXPECT_EQ(driver.javaCallCount("openContextMenu"), 0);
}

TEST_F(MenuBridgeTest, AContextMenuJavaWouldNotOpenDoesNotStayVisible)
{
    VelAndroidPlatformMenu *refused = nullptr, *next = nullptr;
    std::vector<std::string> events;
    ASSERT_TRUE(driver.callStaticVoid("org/vel/android/VelNative", "setFailMenuCalls", "(Z)V",
                                      {jvalue{.z = JNI_TRUE}}));
    gui->call([&] {
        refused = newMenu("Refused");
        next = newMenu("Next");
        VelObject::connect(refused, &VelPlatformMenu::aboutToHide, refused,
                           [&] { events.push_back("hide Refused"); });
        refused->showPopup(nullptr, VelPoint(), nullptr);
    });
    EXPECT_EQ(driver.javaCallCount("openContextMenu"), 1);
    EXPECT_EQ(events, std::vector<std::string>{"hide Refused"});

    ASSERT_TRUE(driver.callStaticVoid("org/vel/android/VelNative", "setFailMenuCalls", "(Z)V",
                                      {jvalue{.z = JNI_FALSE}}));
    gui->call([&] { next->showPopup(nullptr, VelPoint(), nullptr); });
    EXPECT_EQ(driver.javaCallCount("openContextMenu"), 2) << "the next pop-up waited";
    JavaMenu context(driver.env());
    natives.createContextMenu(context);
    EXPECT_EQ(context.headerTitle(), "Next");
    natives.contextMenuClosed();
}

TEST_F(MenuBridgeTest, ABusyGuiThreadGetsNeutralAnswersAtOnce)
{
    VelAndroidPlatformMenuItem *open = nullptr;
    gui->call([&] {
        VelAndroidPlatformMenu *file = newMenu("File");
        open = addItem(file, "Open");
        barFor(newWindow(), {file});
    });
    // The GUI thread waits for Java: the natives must not wait for it.
    std::promise<void> marked;
    std::promise<void> release;
    gui->post([&] {
        const VelAndroidGuiThreadCall::BlockedInJava blocked;
        marked.set_value();
        release.get_future().wait();
    });
    marked.get_future().wait();
    JavaMenu options(driver.env());
    EXPECT_FALSE(natives.prepareOptionsMenu(options));
    EXPECT_TRUE(options.lines().empty());
    EXPECT_FALSE(natives.optionsItemSelected(open->tag(), false));
    EXPECT_TRUE(natives.contextItemSelected(open->tag(), false));
    release.set_value();
    gui->call([] {});
    EXPECT_TRUE(natives.prepareOptionsMenu(options));
}

} // namespace
