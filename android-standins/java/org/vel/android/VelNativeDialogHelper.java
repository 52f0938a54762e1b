package org.vel.android;

public final class VelNativeDialogHelper {
    private VelNativeDialogHelper() {}

    /** Reports the button pressed (its id, or a negative value when dismissed). */
    public static native void dialogResult(long handle, int buttonID);
}
