package org.vel.android;

import android.app.Activity;
import java.util.ArrayList;
import java.util.List;

/**
 * A message dialog that shows nothing: it keeps what it was told and records
 * every call, so that a test can answer it with
 * {@link VelNativeDialogHelper#dialogResult}.
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
    }

    public void hide() {
        VelCallLog.record("VelMessageDialogHelper.hide");
        mShowing = false;
    }

    /** What a user pressing the button with that id would cause. */
    public void press(int buttonId) {
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
