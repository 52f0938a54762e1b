package org.vel.android.accessibility;

import android.graphics.Rect;
import android.view.accessibility.AccessibilityNodeInfo;

public final class VelNativeAccessibility {
    private VelNativeAccessibility() {}

    public static native void setActive(boolean active);

    public static native int[] childIdListForAccessibleObject(int objectId);

    public static native int parentId(int objectId);

    public static native String descriptionForAccessibleObject(int objectId);

    public static native Rect screenRect(int objectId);

    public static native int hitTest(float x, float y);

    public static native void populateNode(int objectId, AccessibilityNodeInfo node);

    public static native boolean clickAction(int objectId);
}
