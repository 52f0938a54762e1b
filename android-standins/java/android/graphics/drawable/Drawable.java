package android.graphics.drawable;

public abstract class Drawable {
    public abstract int getIntrinsicWidth();

    public abstract int getIntrinsicHeight();
}
