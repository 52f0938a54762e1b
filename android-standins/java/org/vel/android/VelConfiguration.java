package org.vel.android;

import android.content.res.Configuration;
import java.util.Locale;

/** The activity's configuration as the launcher sets it. */
public final class VelConfiguration {
    private VelConfiguration() {}

    /**
     * Makes the locale of the activity's configuration the one a tag names:
     * "de_CH", "de-CH" or "de". False for an empty or malformed tag.
     */
    public static boolean setLocale(String tag) {
        if (tag == null)
            return false;
        final String[] parts = tag.trim().split("[_-]", -1);
        if (parts.length > 2 || !parts[0].matches("[A-Za-z]{2,8}"))
            return false;
        final String country = parts.length == 2 ? parts[1] : "";
        if (!country.isEmpty() && !country.matches("[A-Za-z]{2}|[0-9]{3}"))
            return false;
        final Configuration configuration = VelNative.activity().getResources().getConfiguration();
        configuration.locale = new Locale(parts[0], country);
        VelCallLog.record("VelConfiguration.setLocale", configuration.locale.toString());
        return true;
    }

    /** The configuration's locale as "language_COUNTRY". */
    public static String locale() {
        final Locale locale = VelNative.activity().getResources().getConfiguration().locale;
        return locale == null ? "" : locale.toString();
    }
}
