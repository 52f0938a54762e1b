package android.view;

public interface ContextMenu extends Menu {
    ContextMenu setHeaderTitle(CharSequence title);
}
