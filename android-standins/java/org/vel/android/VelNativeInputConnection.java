package org.vel.android;

/** The input connection's way into the native input context. */
public final class VelNativeInputConnection {
    private VelNativeInputConnection() {}

    public static native boolean commitText(String text, int newCursorPosition);

    public static native boolean deleteSurroundingText(int leftLength, int rightLength);

    public static native boolean finishComposingText();

    public static native int getCursorCapsMode(int reqModes);

    public static native VelExtractedText getExtractedText(int hintMaxChars, int hintMaxLines,
            int flags);

    public static native String getSelectedText(int flags);

    public static native String getTextAfterCursor(int length, int flags);

    public static native String getTextBeforeCursor(int length, int flags);

    public static native boolean setComposingText(String text, int newCursorPosition);

    public static native boolean setComposingRegion(int start, int end);

    public static native boolean setSelection(int start, int end);

    public static native boolean selectAll();

    public static native boolean cut();

    public static native boolean copy();

    public static native boolean copyURL();

    public static native boolean paste();
}
