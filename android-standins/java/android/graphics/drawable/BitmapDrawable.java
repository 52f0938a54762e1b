package android.graphics.drawable;

import android.content.res.Resources;
import android.graphics.Bitmap;

public class BitmapDrawable extends Drawable {
    private final Resources mResources;
    private final Bitmap mBitmap;

    public BitmapDrawable(Resources res, Bitmap bitmap) {
        mResources = res;
        mBitmap = bitmap;
    }

    public Bitmap getBitmap() {
        return mBitmap;
    }

    public Resources getResources() {
        return mResources;
    }

    @Override
    public int getIntrinsicWidth() {
        return mBitmap == null ? -1 : mBitmap.getWidth();
    }

    @Override
    public int getIntrinsicHeight() {
        return mBitmap == null ? -1 : mBitmap.getHeight();
    }
}
