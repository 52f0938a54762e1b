package android.view;

import android.graphics.drawable.Drawable;

public interface MenuItem {
    int getGroupId();

    int getItemId();

    int getOrder();

    CharSequence getTitle();

    MenuItem setCheckable(boolean checkable);

    boolean isCheckable();

    MenuItem setChecked(boolean checked);

    boolean isChecked();

    MenuItem setEnabled(boolean enabled);

    boolean isEnabled();

    MenuItem setVisible(boolean visible);

    boolean isVisible();

    MenuItem setIcon(Drawable icon);

    Drawable getIcon();
}
