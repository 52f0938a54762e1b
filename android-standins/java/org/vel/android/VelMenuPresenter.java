package org.vel.android;

import android.graphics.drawable.Drawable;
import android.view.MenuItem;
import java.util.ArrayList;
import java.util.List;

/**
 * What Android's menu machinery does for the app on the desktop: the plugin
 * asks (from any thread) for a context menu to open or close and for the
 * options menu to be rebuilt; the UI thread (the launcher's loop, or a test)
 * then has the menus filled through the menu natives, shows them and reports
 * a choice or a close, in Android's order: a choice, then the close of the
 * menu it was made in.
 *
 * Requests are only noted here; nothing calls back into the plugin from the
 * thread that asked, as Android answers on its UI thread later.
 */
public final class VelMenuPresenter {
    private VelMenuPresenter() {}

    // Guards the request state below; never held while calling a native.
    private static final Object sLock = new Object();
    private static int sOpenRequests;
    private static int sCloseRequests;
    private static int sOptionsResets;

    // Read and written on the UI thread only.
    private static VelRecordedMenu sContextMenu;
    private static VelRecordedMenu sOptionsMenu;

    static void requestOpenContextMenu() {
        synchronized (sLock) {
            ++sOpenRequests;
        }
    }

    static void requestCloseContextMenu() {
        synchronized (sLock) {
            ++sCloseRequests;
        }
    }

    static void requestOptionsMenuReset() {
        synchronized (sLock) {
            ++sOptionsResets;
        }
    }

    /**
     * UI thread: serves the requests made since the last call. A reset of the
     * options menu closes a shown options menu (Android prepares it again the
     * next time it opens); a close closes the shown context menu; each open
     * shows a context menu, closing one still shown first. Returns the
     * description of every menu shown or closed, in order.
     */
    public static String[] processRequests() {
        int opens;
        int closes;
        int resets;
        synchronized (sLock) {
            opens = sOpenRequests;
            closes = sCloseRequests;
            resets = sOptionsResets;
            sOpenRequests = 0;
            sCloseRequests = 0;
            sOptionsResets = 0;
        }
        final List<String> shown = new ArrayList<>();
        if (resets > 0 && sOptionsMenu != null) {
            VelNative.onOptionsMenuClosed(sOptionsMenu);
            sOptionsMenu = null;
            shown.add("options menu closed");
        }
        if (closes > 0 && sContextMenu != null)
            shown.add(closeContextMenu());
        for (int i = 0; i < opens; ++i) {
            if (sContextMenu != null)
                shown.add(closeContextMenu());
            final VelRecordedMenu menu = new VelRecordedMenu();
            VelNative.onCreateContextMenu(menu);
            sContextMenu = menu;
            shown.add(describe("context menu", menu));
        }
        return shown.toArray(new String[0]);
    }

    /**
     * UI thread: the Menu key. Returns the options menu's description, or
     * null when the app has no options menu (Android then shows nothing).
     */
    public static String openOptionsMenu() {
        if (sOptionsMenu != null) {
            VelNative.onOptionsMenuClosed(sOptionsMenu);
            sOptionsMenu = null;
        }
        final VelRecordedMenu menu = new VelRecordedMenu();
        if (!VelNative.onPrepareOptionsMenu(menu))
            return null;
        sOptionsMenu = menu;
        return describe("options menu", menu);
    }

    /**
     * UI thread: chooses the first visible, enabled item with that title in
     * the shown context menu, else in the shown options menu, and closes that
     * menu. A checkable item is handed over with its check state flipped, as
     * a tap does. Returns what was chosen, or null when no shown menu holds
     * such an item.
     */
    public static String choose(String title) {
        if (sContextMenu != null) {
            final MenuItem item = find(sContextMenu, title);
            if (item != null) {
                final boolean checked = item.isCheckable() ? !item.isChecked() : item.isChecked();
                VelNative.onContextItemSelected(item.getItemId(), checked);
                closeContextMenu();
                return "chose \"" + title + "\" in the context menu";
            }
        }
        if (sOptionsMenu != null) {
            final MenuItem item = find(sOptionsMenu, title);
            if (item != null) {
                final boolean checked = item.isCheckable() ? !item.isChecked() : item.isChecked();
                VelNative.onOptionsItemSelected(item.getItemId(), checked);
                VelNative.onOptionsMenuClosed(sOptionsMenu);
                sOptionsMenu = null;
                return "chose \"" + title + "\" in the options menu";
            }
        }
        return null;
    }

    /** UI thread: the back key on a shown menu. */
    public static String dismiss() {
        if (sContextMenu != null)
            return closeContextMenu();
        if (sOptionsMenu != null) {
            VelNative.onOptionsMenuClosed(sOptionsMenu);
            sOptionsMenu = null;
            return "options menu closed";
        }
        return null;
    }

    /**
     * UI thread: the titles of the visible, enabled items of the menu a
     * choice goes to (the context menu, else the options menu), one a line;
     * null when no menu is shown.
     */
    public static String shownTitles() {
        return shownRows(false);
    }

    /**
     * UI thread: what a person sees of the rows of {@link #shownTitles}, in
     * the same order: checkable items carry their state ("[x] Word wrap").
     */
    public static String shownLabels() {
        return shownRows(true);
    }

    private static String shownRows(boolean withState) {
        final VelRecordedMenu menu = sContextMenu != null ? sContextMenu : sOptionsMenu;
        if (menu == null)
            return null;
        final StringBuilder out = new StringBuilder();
        for (int i = 0; i < menu.size(); ++i) {
            final MenuItem item = menu.getItem(i);
            if (!item.isVisible() || !item.isEnabled())
                continue;
            if (withState && item.isCheckable())
                out.append(item.isChecked() ? "[x] " : "[ ] ");
            out.append(item.getTitle()).append('\n');
        }
        return out.toString();
    }

    public static VelRecordedMenu shownContextMenu() {
        return sContextMenu;
    }

    public static VelRecordedMenu shownOptionsMenu() {
        return sOptionsMenu;
    }

    /** Forgets every menu and request, for a test that starts over. */
    public static void reset() {
        synchronized (sLock) {
            sOpenRequests = 0;
            sCloseRequests = 0;
            sOptionsResets = 0;
        }
        sContextMenu = null;
        sOptionsMenu = null;
    }

    private static String closeContextMenu() {
        final VelRecordedMenu menu = sContextMenu;
        sContextMenu = null;
        VelNative.onContextMenuClosed(menu);
        return "context menu closed";
    }

    private static MenuItem find(VelRecordedMenu menu, String title) {
        for (int i = 0; i < menu.size(); ++i) {
            final MenuItem item = menu.getItem(i);
            if (item.isVisible() && item.isEnabled() && title.contentEquals(item.getTitle()))
                return item;
        }
        return null;
    }

    /**
     * One line for the menu, then one per item:
     * "  Title [x] (disabled) (hidden) (icon 36x36)", where "[ ]" or "[x]"
     * marks a checkable item.
     */
    public static String describe(String kind, VelRecordedMenu menu) {
        final StringBuilder out = new StringBuilder(kind);
        final CharSequence header = menu.headerTitle();
        if (header != null)
            out.append(" \"").append(header).append('"');
        if (menu.size() == 0)
            out.append(" (empty)");
        for (int i = 0; i < menu.size(); ++i) {
            final MenuItem item = menu.getItem(i);
            out.append("\n  ").append(item.getTitle());
            if (item.isCheckable())
                out.append(item.isChecked() ? " [x]" : " [ ]");
            if (!item.isEnabled())
                out.append(" (disabled)");
            if (!item.isVisible())
                out.append(" (hidden)");
            final Drawable icon = item.getIcon();
            if (icon != null)
                out.append(" (icon ").append(icon.getIntrinsicWidth()).append('x')
                        .append(icon.getIntrinsicHeight()).append(')');
        }
        return out.toString();
    }
}
