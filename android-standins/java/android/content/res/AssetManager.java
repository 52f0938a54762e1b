package android.content.res;

/**
 * Packaged assets served from a directory on disk. Native code reads the
 * directory through {@link #getRootDirectory()}.
 */
public final class AssetManager {
    private final String mRootDirectory;

    public AssetManager(String rootDirectory) {
        mRootDirectory = rootDirectory == null ? "" : rootDirectory;
    }

    public String getRootDirectory() {
        return mRootDirectory;
    }
}
