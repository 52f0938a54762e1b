package android.content;

import android.content.res.AssetManager;
import android.content.res.Resources;

/** The part of an application context that native code reaches through JNI. */
public abstract class Context {
    public abstract AssetManager getAssets();

    public abstract Resources getResources();

    public abstract ClassLoader getClassLoader();
}
