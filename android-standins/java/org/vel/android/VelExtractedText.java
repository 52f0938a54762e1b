package org.vel.android;

/** The input method's view of the text being edited; filled by native code. */
public class VelExtractedText {
    public int partialEndOffset;
    public int partialStartOffset;
    public int selectionEnd;
    public int selectionStart;
    public int startOffset;
    public String text;

    public VelExtractedText() {}
}
