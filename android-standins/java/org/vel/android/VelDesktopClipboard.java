package org.vel.android;

/**
 * The desktop's clipboard, when the launcher runs on an X display: the
 * launcher registers the two natives and then marks the class installed.
 * Without it (tests that start a VM of their own) the Android clipboard is
 * the process's alone.
 */
public final class VelDesktopClipboard {
    private VelDesktopClipboard() {}

    private static volatile boolean sInstalled;

    /** Set by the launcher once the natives are registered, cleared before they go. */
    static void setInstalled(boolean installed) {
        sInstalled = installed;
    }

    private static native void publish(String text);

    // The desktop clipboard's text, or null when it holds none, when it is
    // still what the app offered, or when its holder did not answer in time.
    private static native String fetch();

    static void offer(String text) {
        if (!sInstalled || text == null)
            return;
        try {
            publish(text);
        } catch (UnsatisfiedLinkError e) {
            sInstalled = false;
        }
    }

    static String take() {
        if (!sInstalled)
            return null;
        try {
            return fetch();
        } catch (UnsatisfiedLinkError e) {
            sInstalled = false;
            return null;
        }
    }
}
