package android.graphics;

import java.nio.ByteBuffer;
import java.nio.ByteOrder;

/**
 * A bitmap whose pixels live in a direct buffer, so that native code can lock
 * them in place. Rows are padded to the current row alignment, which a test
 * may raise to get a stride that differs from width times pixel size.
 */
public final class Bitmap {
    public enum Config {
        ALPHA_8(8, 1),
        RGB_565(4, 2),
        ARGB_4444(7, 2),
        ARGB_8888(1, 4);

        /** The NDK's bitmap format code; read by native code. */
        final int ndkFormat;
        final int bytesPerPixel;

        Config(int ndkFormat, int bytesPerPixel) {
            this.ndkFormat = ndkFormat;
            this.bytesPerPixel = bytesPerPixel;
        }
    }

    private static volatile int sRowAlignment = 1;

    // Read by native code; never reassigned after construction.
    private final int mWidth;
    private final int mHeight;
    private final int mRowBytes;
    private final Config mConfig;
    private final ByteBuffer mBuffer;
    // Changed by native code through lockPixels/unlockPixels.
    private int mLockCount;

    private Bitmap(int width, int height, Config config) {
        mWidth = width;
        mHeight = height;
        mConfig = config;
        final int align = sRowAlignment;
        final int tight = width * config.bytesPerPixel;
        mRowBytes = (tight + align - 1) / align * align;
        mBuffer = ByteBuffer.allocateDirect(Math.max(1, mRowBytes * height))
                          .order(ByteOrder.nativeOrder());
    }

    public static Bitmap createBitmap(int width, int height, Config config) {
        if (width <= 0 || height <= 0)
            throw new IllegalArgumentException("width and height must be > 0");
        if (config == null)
            throw new NullPointerException("config");
        return new Bitmap(width, height, config);
    }

    /** Rows of bitmaps created from now on are padded to a multiple of this. */
    public static void setRowAlignment(int bytes) {
        if (bytes < 1)
            throw new IllegalArgumentException("alignment must be >= 1");
        sRowAlignment = bytes;
    }

    public int getWidth() {
        return mWidth;
    }

    public int getHeight() {
        return mHeight;
    }

    public int getRowBytes() {
        return mRowBytes;
    }

    public int getByteCount() {
        return mRowBytes * mHeight;
    }

    public Config getConfig() {
        return mConfig;
    }

    public synchronized boolean isLocked() {
        return mLockCount > 0;
    }

    /** A copy of the pixel bytes exactly as they lie in memory, padding included. */
    public byte[] copyPixelBytes() {
        final byte[] bytes = new byte[getByteCount()];
        final ByteBuffer view = mBuffer.duplicate();
        view.position(0);
        view.get(bytes, 0, bytes.length);
        return bytes;
    }

    /** Overwrites the pixel bytes from the start of the buffer. */
    public void writePixelBytes(byte[] bytes) {
        final ByteBuffer view = mBuffer.duplicate();
        view.position(0);
        view.put(bytes, 0, Math.min(bytes.length, getByteCount()));
    }
}
