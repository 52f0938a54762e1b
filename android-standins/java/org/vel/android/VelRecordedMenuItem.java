package org.vel.android;

import android.graphics.drawable.Drawable;
import android.view.MenuItem;
import java.util.ArrayList;
import java.util.List;

public class VelRecordedMenuItem implements MenuItem {
    private final int mGroupId;
    private final int mItemId;
    private final int mOrder;
    private final CharSequence mTitle;
    // Guards the mutable fields below.
    private final Object mLock = new Object();
    private final List<String> mCalls = new ArrayList<>();
    private boolean mCheckable;
    private boolean mChecked;
    private boolean mEnabled = true;
    private boolean mVisible = true;
    private Drawable mIcon;

    VelRecordedMenuItem(int groupId, int itemId, int order, CharSequence title) {
        mGroupId = groupId;
        mItemId = itemId;
        mOrder = order;
        mTitle = title;
    }

    public List<String> calls() {
        synchronized (mLock) {
            return new ArrayList<>(mCalls);
        }
    }

    String line() {
        synchronized (mLock) {
            final String icon = mIcon == null
                    ? "-"
                    : mIcon.getIntrinsicWidth() + "x" + mIcon.getIntrinsicHeight();
            return mItemId + "|" + mOrder + "|" + mTitle + "|" + mCheckable + "|" + mChecked
                    + "|" + mEnabled + "|" + mVisible + "|" + icon;
        }
    }

    /** The icon's pixel bytes (R, G, B, A each), or null without a bitmap icon. */
    public byte[] iconBytes() {
        synchronized (mLock) {
            if (!(mIcon instanceof android.graphics.drawable.BitmapDrawable))
                return null;
            return ((android.graphics.drawable.BitmapDrawable) mIcon).getBitmap().copyPixelBytes();
        }
    }

    @Override
    public int getGroupId() {
        return mGroupId;
    }

    @Override
    public int getItemId() {
        return mItemId;
    }

    @Override
    public int getOrder() {
        return mOrder;
    }

    @Override
    public CharSequence getTitle() {
        return mTitle;
    }

    @Override
    public MenuItem setCheckable(boolean checkable) {
        synchronized (mLock) {
            mCalls.add("setCheckable(" + checkable + ")");
            mCheckable = checkable;
        }
        return this;
    }

    @Override
    public boolean isCheckable() {
        synchronized (mLock) {
            return mCheckable;
        }
    }

    @Override
    public MenuItem setChecked(boolean checked) {
        synchronized (mLock) {
            mCalls.add("setChecked(" + checked + ")");
            mChecked = checked;
        }
        return this;
    }

    @Override
    public boolean isChecked() {
        synchronized (mLock) {
            return mChecked;
        }
    }

    @Override
    public MenuItem setEnabled(boolean enabled) {
        synchronized (mLock) {
            mCalls.add("setEnabled(" + enabled + ")");
            mEnabled = enabled;
        }
        return this;
    }

    @Override
    public boolean isEnabled() {
        synchronized (mLock) {
            return mEnabled;
        }
    }

    @Override
    public MenuItem setVisible(boolean visible) {
        synchronized (mLock) {
            mCalls.add("setVisible(" + visible + ")");
            mVisible = visible;
        }
        return this;
    }

    @Override
    public boolean isVisible() {
        synchronized (mLock) {
            return mVisible;
        }
    }

    @Override
    public MenuItem setIcon(Drawable icon) {
        synchronized (mLock) {
            mCalls.add("setIcon(" + (icon == null ? "null" : "drawable") + ")");
            mIcon = icon;
        }
        return this;
    }

    @Override
    public Drawable getIcon() {
        synchronized (mLock) {
            return mIcon;
        }
    }
}
