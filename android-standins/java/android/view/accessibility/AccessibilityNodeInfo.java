package android.view.accessibility;

import android.graphics.Rect;
import java.util.ArrayList;
import java.util.List;

/** A node that keeps what native code set on it, in call order. */
public class AccessibilityNodeInfo {
    public static final int ACTION_CLICK = 16;

    private final List<String> mCalls = new ArrayList<>();
    private int mTextSelectionStart = -1;
    private int mTextSelectionEnd = -1;
    private boolean mEnabled;
    private boolean mFocusable;
    private boolean mCheckable;
    private boolean mChecked;
    private boolean mVisibleToUser;
    private boolean mClickable;
    private int mActions;
    private CharSequence mContentDescription;
    private final Rect mBoundsInScreen = new Rect();

    public static AccessibilityNodeInfo obtain() {
        return new AccessibilityNodeInfo();
    }

    private synchronized void record(String call) {
        mCalls.add(call);
    }

    public synchronized List<String> calls() {
        return new ArrayList<>(mCalls);
    }

    public void setTextSelection(int start, int end) {
        record("setTextSelection(" + start + ", " + end + ")");
        mTextSelectionStart = start;
        mTextSelectionEnd = end;
    }

    public void setEnabled(boolean enabled) {
        record("setEnabled(" + enabled + ")");
        mEnabled = enabled;
    }

    public void setFocusable(boolean focusable) {
        record("setFocusable(" + focusable + ")");
        mFocusable = focusable;
    }

    public void setCheckable(boolean checkable) {
        record("setCheckable(" + checkable + ")");
        mCheckable = checkable;
    }

    public void setChecked(boolean checked) {
        record("setChecked(" + checked + ")");
        mChecked = checked;
    }

    public void setVisibleToUser(boolean visible) {
        record("setVisibleToUser(" + visible + ")");
        mVisibleToUser = visible;
    }

    public void setClickable(boolean clickable) {
        record("setClickable(" + clickable + ")");
        mClickable = clickable;
    }

    public void addAction(int action) {
        record("addAction(" + action + ")");
        mActions |= action;
    }

    public void setContentDescription(CharSequence description) {
        record("setContentDescription(" + description + ")");
        mContentDescription = description;
    }

    public void setBoundsInScreen(Rect bounds) {
        record("setBoundsInScreen(" + bounds + ")");
        mBoundsInScreen.set(bounds);
    }

    public void getBoundsInScreen(Rect outBounds) {
        outBounds.set(mBoundsInScreen);
    }

    public int getTextSelectionStart() {
        return mTextSelectionStart;
    }

    public int getTextSelectionEnd() {
        return mTextSelectionEnd;
    }

    public boolean isEnabled() {
        return mEnabled;
    }

    public boolean isFocusable() {
        return mFocusable;
    }

    public boolean isCheckable() {
        return mCheckable;
    }

    public boolean isChecked() {
        return mChecked;
    }

    public boolean isVisibleToUser() {
        return mVisibleToUser;
    }

    public boolean isClickable() {
        return mClickable;
    }

    public int getActions() {
        return mActions;
    }

    public CharSequence getContentDescription() {
        return mContentDescription;
    }
}
