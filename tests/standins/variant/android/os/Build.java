package android.os;

/** A variant that replaces the jar's own class when it comes first. */
public final class Build {
    private Build() {}

    public static final class VERSION {
        private VERSION() {}

        public static int SDK_INT = 7;
    }
}
