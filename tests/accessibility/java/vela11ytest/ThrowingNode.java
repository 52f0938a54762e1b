package vela11ytest;

import android.view.accessibility.AccessibilityNodeInfo;

/** A node that refuses to be checked, as a sealed node refuses every setter. */
public class ThrowingNode extends AccessibilityNodeInfo {
    @Override
    public void setChecked(boolean checked) {
        throw new IllegalStateException("sealed");
    }
}
