package android.view;

/**
 * A drawing surface backed by an X11 window. Native code reads the window id
 * and the size it was created with; a released surface yields no native
 * window.
 */
public class Surface {
    private volatile long mX11Window;
    private final int mWidth;
    private final int mHeight;

    public Surface(long x11Window, int width, int height) {
        mX11Window = x11Window;
        mWidth = width;
        mHeight = height;
    }

    public boolean isValid() {
        return mX11Window != 0;
    }

    public void release() {
        mX11Window = 0;
    }

    public long getX11Window() {
        return mX11Window;
    }

    public int getWidth() {
        return mWidth;
    }

    public int getHeight() {
        return mHeight;
    }

    @Override
    public String toString() {
        return "Surface(0x" + Long.toHexString(mX11Window) + ", " + mWidth + "x" + mHeight + ")";
    }
}
