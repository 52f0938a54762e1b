package org.vel.android;

/**
 * Loads native libraries on behalf of native callers. Loading from here, and
 * not straight through JNI, gives the library this class's loader, so that
 * FindClass inside JNI_OnLoad sees the companion classes.
 */
public final class VelLauncher {
    private VelLauncher() {}

    /** Loads the library at that path; returns null on success, else the reason. */
    public static String load(String path) {
        try {
            System.load(path);
            return null;
        } catch (Throwable t) {
            return t.toString();
        }
    }
}
