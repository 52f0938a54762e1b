package org.vel.android;

import android.app.Activity;
import java.util.ArrayList;
import java.util.List;

/**
 * A message dialog that keeps what it was told and records every call, so
 * that a test can answer it with {@link VelNativeDialogHelper#dialogResult}.
 * The launcher shows it (a window with the buttons when a display is used
 * live) and answers it with a scripted choice: {@link #setAutoAnswer} answers
 * every dialog as it is shown, {@link #answerShowing} the one showing now.
 * Answers always come from a Java thread of their own, never from the thread
 * that called show().
 */
public class VelMessageDialogHelper {
    // Guards sInstances.
    private static final Object sLock = new Object();
    private static final List<VelMessageDialogHelper> sInstances = new ArrayList<>();

    private final Activity mActivity;
    private volatile int mIcon;
    private volatile String mTitle = "";
    private volatile String mText = "";
    private volatile String mInformativeText = "";
    private volatile String mDetailedText = "";
    // Guards mButtonIds and mButtonLabels.
    private final Object mButtonLock = new Object();
    private final List<Integer> mButtonIds = new ArrayList<>();
    private final List<String> mButtonLabels = new ArrayList<>();
    private volatile long mHandle;
    private volatile boolean mShowing;
    // The choice that answers every dialog when it is shown; null: none.
    private static volatile String sAutoAnswer;

    public VelMessageDialogHelper(Activity activity) {
        mActivity = activity;
        VelCallLog.record("VelMessageDialogHelper.<init>");
        synchronized (sLock) {
            sInstances.add(this);
        }
    }

    public static List<VelMessageDialogHelper> instances() {
        synchronized (sLock) {
            return new ArrayList<>(sInstances);
        }
    }

    public void setIcon(int icon) {
        VelCallLog.record("VelMessageDialogHelper.setIcon", icon);
        mIcon = icon;
    }

    // The name is what the native side calls.
    public void setTile(String title) {
        VelCallLog.record("VelMessageDialogHelper.setTile", title);
        mTitle = title;
    }

    public void setText(String text) {
        VelCallLog.record("VelMessageDialogHelper.setText", text);
        mText = text;
    }

    public void setInformativeText(String text) {
        VelCallLog.record("VelMessageDialogHelper.setInformativeText", text);
        mInformativeText = text;
    }

    public void setDetailedText(String text) {
        VelCallLog.record("VelMessageDialogHelper.setDetailedText", text);
        mDetailedText = text;
    }

    public void addButton(int id, String text) {
        VelCallLog.record("VelMessageDialogHelper.addButton", id, text);
        synchronized (mButtonLock) {
            mButtonIds.add(id);
            mButtonLabels.add(text);
        }
    }

    public void show(long handle) {
        VelCallLog.record("VelMessageDialogHelper.show", handle);
        mHandle = handle;
        mShowing = true;
        System.out.println(describe());
        System.out.flush();
        final String answer = sAutoAnswer;
        if (answer != null)
            answerLater(answer);
    }

    public void hide() {
        VelCallLog.record("VelMessageDialogHelper.hide");
        mShowing = false;
    }

    /** One line for people: the texts given, in quotes, then the buttons. */
    public String describe() {
        final StringBuilder line = new StringBuilder("vel-android-run: message dialog");
        for (String part : new String[] {mTitle, mText, mInformativeText, mDetailedText}) {
            if (part != null && !part.isEmpty())
                line.append(" \"").append(part).append('"');
        }
        for (String label : buttonLabels())
            line.append(" [").append(label).append(']');
        return line.toString();
    }

    /** Answers every dialog shown from now on with that choice; null stops it. */
    public static void setAutoAnswer(String choice) {
        sAutoAnswer = choice;
    }

    /** The dialog shown last that is still showing, or null. */
    public static VelMessageDialogHelper showing() {
        synchronized (sLock) {
            for (int i = sInstances.size() - 1; i >= 0; --i) {
                if (sInstances.get(i).mShowing)
                    return sInstances.get(i);
            }
            return null;
        }
    }

    /**
     * Answers the dialog showing now with a choice: a button's label or
     * standard name in any letter case ("Yes", "ok"), its id, or "dismiss".
     * False when no dialog shows or it has no such button.
     */
    public static boolean answerShowing(String choice) {
        final VelMessageDialogHelper dialog = showing();
        return dialog != null && dialog.answerLater(choice);
    }

    /** The button id a choice names on this dialog; null when none. */
    public Integer buttonFor(String choice) {
        final String c = choice.trim();
        if (c.equalsIgnoreCase("dismiss") || c.equals("-1"))
            return -1;
        final int[] ids = buttonIds();
        final String[] labels = buttonLabels();
        for (int i = 0; i < ids.length; ++i) {
            if (labels[i].equalsIgnoreCase(c) || standardName(ids[i]).equalsIgnoreCase(c)
                    || Integer.toString(ids[i]).equals(c))
                return ids[i];
        }
        return null;
    }

    private boolean answerLater(String choice) {
        final Integer id = buttonFor(choice);
        if (id == null) {
            System.err.println("vel-android-run: the dialog has no button \"" + choice + "\"");
            return false;
        }
        System.out.println("vel-android-run: answering the message dialog with " + choice);
        System.out.flush();
        final Thread user = new Thread(() -> press(id), "VelDialogAnswer");
        user.start();
        return true;
    }

    private static String standardName(int id) {
        switch (id) {
        case 0x400: return "ok";
        case 0x800: return "save";
        case 0x1000: return "saveall";
        case 0x2000: return "open";
        case 0x4000: return "yes";
        case 0x8000: return "yestoall";
        case 0x10000: return "no";
        case 0x20000: return "notoall";
        case 0x40000: return "abort";
        case 0x80000: return "retry";
        case 0x100000: return "ignore";
        case 0x200000: return "close";
        case 0x400000: return "cancel";
        case 0x800000: return "discard";
        case 0x1000000: return "help";
        case 0x2000000: return "apply";
        case 0x4000000: return "reset";
        default: return "";
        }
    }

    /** What a user pressing the button with that id would cause. */
    public void press(int buttonId) {
        mShowing = false;
        VelNativeDialogHelper.dialogResult(mHandle, buttonId);
    }

    public Activity activity() {
        return mActivity;
    }

    public int icon() {
        return mIcon;
    }

    public String title() {
        return mTitle;
    }

    public String text() {
        return mText;
    }

    public String informativeText() {
        return mInformativeText;
    }

    public String detailedText() {
        return mDetailedText;
    }

    public int[] buttonIds() {
        synchronized (mButtonLock) {
            final int[] ids = new int[mButtonIds.size()];
            for (int i = 0; i < ids.length; ++i)
                ids[i] = mButtonIds.get(i);
            return ids;
        }
    }

    public String[] buttonLabels() {
        synchronized (mButtonLock) {
            return mButtonLabels.toArray(new String[0]);
        }
    }

    public long handle() {
        return mHandle;
    }

    public boolean isShowing() {
        return mShowing;
    }
}
