package android.content.res;

public class Resources {
    private final Configuration mConfiguration = new Configuration();

    public Configuration getConfiguration() {
        return mConfiguration;
    }
}
