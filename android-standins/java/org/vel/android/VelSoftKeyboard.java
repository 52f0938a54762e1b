package org.vel.android;

/**
 * The launcher's soft keyboard: a small input method over the desktop's keys.
 *
 * <p>Two threads meet here. The plugin's GUI thread shows, hides and resets the
 * keyboard and reports the selection (through the soft-keyboard methods of
 * {@link VelNative}); it may do so while the UI thread waits for it inside an
 * input-connection call, so those methods only record state under
 * {@code sLock} and never wait. The UI thread (the launcher's thread that sends
 * all input) types: while the keyboard is shown, text keys reach the app
 * through {@link VelNativeInputConnection} as a soft keyboard sends them;
 * while it is hidden, every key is a plain key event. The UI thread never
 * holds {@code sLock} while it calls a native.
 *
 * <p>Typing composes words: letters and digits extend the composing word
 * ({@code setComposingText}), any other character commits the word with that
 * character ({@code commitText}), Backspace shortens the word or deletes the
 * character before the cursor ({@code deleteSurroundingText(1, 0)}), Enter and
 * other keys finish the word ({@code finishComposingText}) and then go on as key
 * events, as a soft keyboard sends its Enter.
 */
public final class VelSoftKeyboard {
    private VelSoftKeyboard() {}

    // Android key codes and meta bits used here.
    static final int KEYCODE_ENTER = 66;
    static final int KEYCODE_DEL = 67;
    static final int META_ALT_ON = 0x2;
    static final int META_CTRL_ON = 0x1000;

    // Guards the fields below it; never held across a call into native code.
    private static final Object sLock = new Object();
    private static boolean sShown;
    private static int sLeft, sTop, sWidth, sHeight, sHints;
    private static int sSelStart = -1, sSelEnd = -1, sCandidatesStart = -1, sCandidatesEnd = -1;
    // Set by the GUI thread when the app reset the input; the UI thread then
    // forgets its composing word before the next key.
    private static boolean sWordStale;

    // UI thread only.
    private static final StringBuilder sWord = new StringBuilder();
    // Key codes whose press the keyboard consumed, so that their release is
    // consumed too. UI thread only.
    private static final java.util.Set<Integer> sConsumedKeys = new java.util.HashSet<>();

    // ---- the GUI thread's side (through VelNative); none of these waits ----

    static void show(int left, int top, int width, int height, int hints) {
        synchronized (sLock) {
            sShown = true;
            sLeft = left;
            sTop = top;
            sWidth = width;
            sHeight = height;
            sHints = hints;
            sLock.notifyAll();
        }
    }

    static void hide() {
        synchronized (sLock) {
            sShown = false;
            sWordStale = true;
            sLock.notifyAll();
        }
    }

    static void reset() {
        synchronized (sLock) {
            sWordStale = true;
        }
    }

    static void selectionChanged(int selStart, int selEnd, int candidatesStart,
            int candidatesEnd) {
        synchronized (sLock) {
            sSelStart = selStart;
            sSelEnd = selEnd;
            sCandidatesStart = candidatesStart;
            sCandidatesEnd = candidatesEnd;
        }
    }

    /** Sets the visibility without the app asking (tests; the user closing it). */
    public static void setShown(boolean shown) {
        if (shown)
            show(0, 0, 0, 0, 0);
        else
            hide();
    }

    // ---- what the keyboard knows ----

    public static boolean isShown() {
        synchronized (sLock) {
            return sShown;
        }
    }

    /** The input hints and item rectangle of the last show: {hints, left, top, width, height}. */
    public static int[] shownFor() {
        synchronized (sLock) {
            return new int[] {sHints, sLeft, sTop, sWidth, sHeight};
        }
    }

    /** The last selection report: {selStart, selEnd, candidatesStart, candidatesEnd}. */
    public static int[] selection() {
        synchronized (sLock) {
            return new int[] {sSelStart, sSelEnd, sCandidatesStart, sCandidatesEnd};
        }
    }

    /** Waits at most timeoutMs for the app to show the keyboard; true once shown. */
    public static boolean waitUntilShown(long timeoutMs) {
        final long deadline = System.nanoTime() + timeoutMs * 1_000_000L;
        synchronized (sLock) {
            while (!sShown) {
                final long leftMs = (deadline - System.nanoTime()) / 1_000_000L;
                if (leftMs <= 0)
                    return false;
                try {
                    sLock.wait(leftMs);
                } catch (InterruptedException e) {
                    Thread.currentThread().interrupt();
                    return false;
                }
            }
            return true;
        }
    }

    /** The word being composed (UI thread). */
    public static String composingWord() {
        dropStaleWord();
        return sWord.toString();
    }

    // ---- the UI thread's side: typing ----

    /**
     * A key of the desktop keyboard, pressed or released. Keys the soft
     * keyboard does not take go to the app as key events.
     */
    public static void key(boolean down, int keyCode, int unicode, int meta) {
        if (!down) {
            if (!sConsumedKeys.remove(keyCode))
                VelNative.keyUp(keyCode, unicode, meta);
            return;
        }
        if (isShown() && typeOnKeyboard(keyCode, unicode, meta)) {
            sConsumedKeys.add(keyCode);
            return;
        }
        VelNative.keyDown(keyCode, unicode, meta);
    }

    /**
     * Types the text, one character a key: through the keyboard while it is
     * shown, else as key events with the character's Android key code.
     * Answers false when the app refused a character.
     */
    public static boolean type(String text) {
        if (text == null)
            return false;
        boolean accepted = true;
        for (int i = 0; i < text.length();) {
            final int c = text.codePointAt(i);
            i += Character.charCount(c);
            if (c == '\n') {
                key(true, KEYCODE_ENTER, '\n', 0);
                key(false, KEYCODE_ENTER, '\n', 0);
                continue;
            }
            if (isShown()) {
                accepted &= typeCharacter(c);
                continue;
            }
            final int code = VelKeyCodes.forCharacter(c);
            final int meta = VelKeyCodes.metaForCharacter(c);
            VelNative.keyDown(code, c, meta);
            VelNative.keyUp(code, c, meta);
        }
        return accepted;
    }

    /** Makes the text the composing word, as picking a suggestion does. */
    public static boolean compose(String text) {
        dropStaleWord();
        final String word = text == null ? "" : text;
        sWord.setLength(0);
        sWord.append(word);
        return VelNativeInputConnection.setComposingText(word, 1);
    }

    /** Commits the composing word. */
    public static boolean commit() {
        sWord.setLength(0);
        return VelNativeInputConnection.finishComposingText();
    }

    /** Deletes around the cursor; the composing word is given up. */
    public static boolean delete(int before, int after) {
        sWord.setLength(0);
        return VelNativeInputConnection.deleteSurroundingText(before, after);
    }

    // ---- helpers (UI thread) ----

    private static void dropStaleWord() {
        boolean stale;
        synchronized (sLock) {
            stale = sWordStale;
            sWordStale = false;
        }
        if (stale)
            sWord.setLength(0);
    }

    /** True when the keyboard took the key. */
    private static boolean typeOnKeyboard(int keyCode, int unicode, int meta) {
        dropStaleWord();
        if (keyCode == KEYCODE_DEL) {
            backspace();
            return true;
        }
        final boolean shortcut = (meta & (META_ALT_ON | META_CTRL_ON)) != 0;
        if (!shortcut && isText(unicode))
            return typeCharacter(unicode);
        // Enter, arrows, shortcuts: the word is done, the key goes on.
        if (sWord.length() > 0)
            commit();
        return false;
    }

    private static boolean typeCharacter(int c) {
        dropStaleWord();
        if (Character.isLetterOrDigit(c)) {
            sWord.appendCodePoint(c);
            return VelNativeInputConnection.setComposingText(sWord.toString(), 1);
        }
        final String text = sWord.toString() + new String(Character.toChars(c));
        sWord.setLength(0);
        return VelNativeInputConnection.commitText(text, 1);
    }

    private static void backspace() {
        if (sWord.length() == 0) {
            VelNativeInputConnection.deleteSurroundingText(1, 0);
            return;
        }
        sWord.setLength(sWord.offsetByCodePoints(sWord.length(), -1));
        if (sWord.length() > 0)
            VelNativeInputConnection.setComposingText(sWord.toString(), 1);
        else
            VelNativeInputConnection.commitText("", 1);
    }

    private static boolean isText(int c) {
        return c >= 0x20 && c != 0x7f && Character.isValidCodePoint(c)
                && !Character.isISOControl(c);
    }
}
