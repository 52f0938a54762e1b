package android.content;

import android.content.res.AssetManager;
import android.content.res.Resources;

/** Forwards to a base context; native code looks its methods up on this class. */
public class ContextWrapper extends Context {
    private Context mBase;

    public ContextWrapper(Context base) {
        mBase = base;
    }

    protected void attachBaseContext(Context base) {
        mBase = base;
    }

    public Context getBaseContext() {
        return mBase;
    }

    @Override
    public AssetManager getAssets() {
        return mBase.getAssets();
    }

    @Override
    public Resources getResources() {
        return mBase.getResources();
    }

    @Override
    public ClassLoader getClassLoader() {
        return mBase.getClassLoader();
    }
}
