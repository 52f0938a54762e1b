package android.content.res;

import java.util.Locale;

public final class Configuration {
    /** Read by native code as the object field "locale". */
    public Locale locale = Locale.getDefault();
}
