package org.vel.android;

import android.app.Activity;
import android.view.ContextMenu;
import android.view.Menu;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.TimeUnit;

/**
 * The companion class of the native plugin on the desktop. Natives are bound
 * by the plugin with RegisterNatives; the static methods below are what the
 * plugin calls back. None of them waits for another thread (the plugin calls
 * some of them while a Java thread waits for its GUI thread), and each call is
 * recorded in {@link VelCallLog}.
 */
public final class VelNative {
    private VelNative() {}

    // ---- core natives ----
    public static native boolean startVelAndroidPlugin();

    public static native void startVelApplication(String parameters, String environment);

    public static native void pauseVelApp();

    public static native void resumeVelApp();

    public static native void quitVelAndroidPlugin();

    public static native void terminateVel();

    public static native void setDisplayMetrics(int screenWidthPixels, int screenHeightPixels,
            int desktopWidthPixels, int desktopHeightPixels, double xdpi, double ydpi,
            double scaledDensity);

    public static native void setSurface(Object surface);

    public static native void destroySurface();

    public static native void lockSurface();

    public static native void unlockSurface();

    public static native void updateWindow();

    public static native void updateApplicationState(int state);

    public static native void handleOrientationChanged(int newRotation, int nativeOrientation);

    // ---- input natives ----
    public static native void touchBegin(int winId);

    public static native void touchAdd(int winId, int pointerId, int action, boolean primary,
            int x, int y, float size, float pressure);

    public static native void touchEnd(int winId, int action);

    public static native void mouseDown(int winId, int x, int y);

    public static native void mouseUp(int winId, int x, int y);

    public static native void mouseMove(int winId, int x, int y);

    public static native void longPress(int winId, int x, int y);

    public static native void keyDown(int key, int unicode, int modifier);

    public static native void keyUp(int key, int unicode, int modifier);

    public static native void keyboardVisibilityChanged(boolean visibility);

    // ---- menu natives ----
    public static native boolean onPrepareOptionsMenu(Menu menu);

    public static native boolean onOptionsItemSelected(int itemId, boolean checked);

    public static native void onOptionsMenuClosed(Menu menu);

    public static native void onCreateContextMenu(ContextMenu menu);

    public static native boolean onContextItemSelected(int itemId, boolean checked);

    public static native void onContextMenuClosed(Menu menu);

    // ---- state behind the static methods ----
    private static volatile Activity sActivity;
    private static volatile CountDownLatch sQuitLatch = new CountDownLatch(1);
    // Guards sClipboardText.
    private static final Object sClipboardLock = new Object();
    private static String sClipboardText;
    private static volatile boolean sFullScreen;
    private static volatile boolean sFailMenuCalls;

    /** Makes this the activity that activity() hands to the plugin. */
    public static void setActivity(Activity activity) {
        sActivity = activity;
    }

    // ---- called by the plugin ----
    public static Activity activity() {
        VelCallLog.record("activity");
        Activity a = sActivity;
        if (a == null) {
            synchronized (VelNative.class) {
                if (sActivity == null)
                    sActivity = new Activity(System.getProperty("vel.android.assets", ""));
                a = sActivity;
            }
        }
        return a;
    }

    public static ClassLoader classLoader() {
        VelCallLog.record("classLoader");
        return VelNative.class.getClassLoader();
    }

    public static void setFullScreen(boolean fullScreen) {
        VelCallLog.record("setFullScreen", fullScreen);
        sFullScreen = fullScreen;
    }

    public static void redrawSurface(int left, int top, int right, int bottom) {
        VelCallLog.record("redrawSurface", left, top, right, bottom);
    }

    public static void quitApp() {
        VelCallLog.record("quitApp");
        sQuitLatch.countDown();
    }

    public static void openURL(String url) {
        VelCallLog.record("openURL", url);
    }

    public static void registerClipboardManager() {
        VelCallLog.record("registerClipboardManager");
    }

    public static void setClipboardText(String text) {
        VelCallLog.record("setClipboardText", text);
        synchronized (sClipboardLock) {
            sClipboardText = text;
        }
        VelDesktopClipboard.offer(text);
    }

    public static boolean hasClipboardText() {
        VelCallLog.record("hasClipboardText");
        takeDesktopClipboard();
        synchronized (sClipboardLock) {
            return sClipboardText != null && !sClipboardText.isEmpty();
        }
    }

    public static String getClipboardText() {
        VelCallLog.record("getClipboardText");
        takeDesktopClipboard();
        synchronized (sClipboardLock) {
            return sClipboardText;
        }
    }

    // Text copied in another desktop program since is what a paste gets.
    // Asked outside the lock: the desktop's answer may take a while.
    private static void takeDesktopClipboard() {
        final String desktop = VelDesktopClipboard.take();
        if (desktop == null)
            return;
        synchronized (sClipboardLock) {
            sClipboardText = desktop;
        }
    }

    public static void showSoftwareKeyboard(int x, int y, int width, int height, int inputHints) {
        VelCallLog.record("showSoftwareKeyboard", x, y, width, height, inputHints);
        VelSoftKeyboard.show(x, y, width, height, inputHints);
    }

    public static void resetSoftwareKeyboard() {
        VelCallLog.record("resetSoftwareKeyboard");
        VelSoftKeyboard.reset();
    }

    public static void hideSoftwareKeyboard() {
        VelCallLog.record("hideSoftwareKeyboard");
        VelSoftKeyboard.hide();
    }

    public static boolean isSoftwareKeyboardVisible() {
        VelCallLog.record("isSoftwareKeyboardVisible");
        return VelSoftKeyboard.isShown();
    }

    public static void updateSelection(int selStart, int selEnd, int candidatesStart,
            int candidatesEnd) {
        VelCallLog.record("updateSelection", selStart, selEnd, candidatesStart, candidatesEnd);
        VelSoftKeyboard.selectionChanged(selStart, selEnd, candidatesStart, candidatesEnd);
    }

    public static void openContextMenu() {
        VelCallLog.record("openContextMenu");
        if (sFailMenuCalls)
            throw new IllegalStateException("openContextMenu refused");
        VelMenuPresenter.requestOpenContextMenu();
    }

    public static void closeContextMenu() {
        VelCallLog.record("closeContextMenu");
        if (sFailMenuCalls)
            throw new IllegalStateException("closeContextMenu refused");
        VelMenuPresenter.requestCloseContextMenu();
    }

    public static void resetOptionsMenu() {
        VelCallLog.record("resetOptionsMenu");
        VelMenuPresenter.requestOptionsMenuReset();
    }

    // ---- for the launcher and tests ----
    /** The calls recorded so far, oldest first (see {@link VelCallLog}). */
    public static java.util.List<VelCall> calls() {
        return VelCallLog.calls();
    }

    public static void clearCalls() {
        VelCallLog.clear();
    }

    public static boolean waitForCall(String name, long timeoutMs) {
        return VelCallLog.waitFor(name, timeoutMs);
    }

    public static boolean waitForQuit(long timeoutMs) {
        try {
            return sQuitLatch.await(timeoutMs, TimeUnit.MILLISECONDS);
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            return false;
        }
    }

    public static boolean isQuitRequested() {
        return sQuitLatch.getCount() == 0;
    }

    /** Arms the quit latch again, for a test that starts a second application. */
    public static void resetQuit() {
        sQuitLatch = new CountDownLatch(1);
    }

    /** Stands for the user copying text in another app. */
    public static void putClipboardTextFromOutside(String text) {
        synchronized (sClipboardLock) {
            sClipboardText = text;
        }
        VelDesktopClipboard.offer(text);
    }

    /** What another app pasting would get; not recorded as a plugin call. */
    public static String clipboardTextFromOutside() {
        synchronized (sClipboardLock) {
            return sClipboardText;
        }
    }

    public static boolean isFullScreen() {
        return sFullScreen;
    }

    /** Makes openContextMenu and closeContextMenu throw, as a broken Java side would. */
    public static void setFailMenuCalls(boolean fail) {
        sFailMenuCalls = fail;
    }

    public static void setSoftwareKeyboardVisible(boolean visible) {
        VelSoftKeyboard.setShown(visible);
    }
}
