package android.app;

import android.content.Context;
import android.content.ContextWrapper;
import android.content.res.AssetManager;
import android.content.res.Resources;

/**
 * A desktop activity: its assets come from a directory on disk and its
 * resources carry a configuration whose locale the caller chooses.
 */
public class Activity extends ContextWrapper {
    private static final class DirectoryContext extends Context {
        private final AssetManager mAssets;
        private final Resources mResources = new Resources();

        DirectoryContext(String assetsDirectory) {
            mAssets = new AssetManager(assetsDirectory);
        }

        @Override
        public AssetManager getAssets() {
            return mAssets;
        }

        @Override
        public Resources getResources() {
            return mResources;
        }

        @Override
        public ClassLoader getClassLoader() {
            return Activity.class.getClassLoader();
        }
    }

    private volatile boolean mFinishing;

    public Activity(String assetsDirectory) {
        super(new DirectoryContext(assetsDirectory));
    }

    public void finish() {
        mFinishing = true;
    }

    public boolean isFinishing() {
        return mFinishing;
    }
}
