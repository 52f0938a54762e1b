package android.os;

public final class Build {
    private Build() {}

    public static final class VERSION {
        private VERSION() {}

        /**
         * The pretended platform level. Not a compile-time constant so that a
         * run can choose it with -Dvel.android.sdk=N.
         */
        public static int SDK_INT = Integer.getInteger("vel.android.sdk", 21);
    }
}
