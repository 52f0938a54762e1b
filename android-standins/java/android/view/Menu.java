package android.view;

public interface Menu {
    int NONE = 0;

    void clear();

    MenuItem add(int groupId, int itemId, int order, CharSequence title);

    int size();

    MenuItem getItem(int index);
}
