package org.vel.android;

/** Android key codes of characters, as a hardware keyboard with a US layout produces them. */
public final class VelKeyCodes {
    private VelKeyCodes() {}

    static final int META_SHIFT_ON = 0x1;

    private static final String UNSHIFTED = "`-=[]\\;',./ ";
    private static final int[] UNSHIFTED_CODES = {68, 69, 70, 71, 72, 73, 74, 75, 55, 56, 76, 62};
    // Characters typed with Shift on another key, and that key's code.
    private static final String SHIFTED = "~_+{}|:\"<>?!@#$%^&*()";
    private static final int[] SHIFTED_CODES = {68, 69, 70, 71, 72, 73, 74, 75, 55, 56, 76,
            8, 9, 10, 11, 12, 13, 14, 15, 16, 7};

    /** The key code that types c; 0 (unknown) for characters without a key. */
    public static int forCharacter(int c) {
        if (c >= 'a' && c <= 'z')
            return 29 + (c - 'a');
        if (c >= 'A' && c <= 'Z')
            return 29 + (c - 'A');
        if (c >= '0' && c <= '9')
            return 7 + (c - '0');
        if (c == '\n')
            return 66;
        if (c == '\t')
            return 61;
        if (c > 0xffff)
            return 0;
        int at = UNSHIFTED.indexOf(c);
        if (at >= 0)
            return UNSHIFTED_CODES[at];
        at = SHIFTED.indexOf(c);
        return at >= 0 ? SHIFTED_CODES[at] : 0;
    }

    /** The meta bits a keyboard reports with c: Shift for capitals and shifted symbols. */
    public static int metaForCharacter(int c) {
        if (c >= 'A' && c <= 'Z')
            return META_SHIFT_ON;
        return c <= 0xffff && SHIFTED.indexOf(c) >= 0 ? META_SHIFT_ON : 0;
    }

    /** The character a key types, for keys sent by code alone; 0 for none. */
    public static int characterFor(int keyCode, int meta) {
        final boolean shift = (meta & META_SHIFT_ON) != 0;
        if (keyCode >= 29 && keyCode <= 54)
            return (shift ? 'A' : 'a') + (keyCode - 29);
        if (keyCode >= 7 && keyCode <= 16 && !shift)
            return '0' + (keyCode - 7);
        if (keyCode == 66)
            return '\n';
        if (keyCode == 61)
            return '\t';
        final String chars = shift ? SHIFTED : UNSHIFTED;
        final int[] codes = shift ? SHIFTED_CODES : UNSHIFTED_CODES;
        for (int i = 0; i < codes.length; ++i)
            if (codes[i] == keyCode)
                return chars.charAt(i);
        return 0;
    }
}
