package org.vel.android;

import android.view.ContextMenu;
import android.view.MenuItem;
import java.util.ArrayList;
import java.util.List;

/**
 * An options or context menu that keeps its items and the calls made on it,
 * for the launcher and tests to hand to the menu natives.
 */
public class VelRecordedMenu implements ContextMenu {
    // Guards every field below.
    private final Object mLock = new Object();
    private final List<VelRecordedMenuItem> mItems = new ArrayList<>();
    private final List<String> mCalls = new ArrayList<>();
    private CharSequence mHeaderTitle;

    private void record(String call) {
        synchronized (mLock) {
            mCalls.add(call);
        }
    }

    public List<String> calls() {
        synchronized (mLock) {
            return new ArrayList<>(mCalls);
        }
    }

    @Override
    public void clear() {
        record("clear()");
        synchronized (mLock) {
            mItems.clear();
        }
    }

    @Override
    public MenuItem add(int groupId, int itemId, int order, CharSequence title) {
        record("add(" + groupId + ", " + itemId + ", " + order + ", " + title + ")");
        final VelRecordedMenuItem item = new VelRecordedMenuItem(groupId, itemId, order, title);
        synchronized (mLock) {
            mItems.add(item);
        }
        return item;
    }

    @Override
    public int size() {
        synchronized (mLock) {
            return mItems.size();
        }
    }

    @Override
    public VelRecordedMenuItem getItem(int index) {
        synchronized (mLock) {
            return mItems.get(index);
        }
    }

    @Override
    public ContextMenu setHeaderTitle(CharSequence title) {
        record("setHeaderTitle(" + title + ")");
        synchronized (mLock) {
            mHeaderTitle = title;
        }
        return this;
    }

    /**
     * Each item as "id|order|title|checkable|checked|enabled|visible|icon",
     * where icon is "WxH" of a bitmap drawable or "-" for none.
     */
    public String[] itemLines() {
        synchronized (mLock) {
            final String[] lines = new String[mItems.size()];
            for (int i = 0; i < lines.length; ++i)
                lines[i] = mItems.get(i).line();
            return lines;
        }
    }

    public CharSequence headerTitle() {
        synchronized (mLock) {
            return mHeaderTitle;
        }
    }
}
