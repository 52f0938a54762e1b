package org.vel.android;

import java.util.Arrays;

/** One recorded call from native code into the Java half. */
public final class VelCall {
    public final String name;
    public final Object[] args;
    public final String threadName;
    public final long threadId;

    VelCall(String name, Object[] args) {
        this.name = name;
        this.args = args.clone();
        final Thread t = Thread.currentThread();
        this.threadName = t.getName();
        this.threadId = t.getId();
    }

    /** name(arg, arg, ...) with strings unquoted; what tests compare against. */
    @Override
    public String toString() {
        final StringBuilder sb = new StringBuilder(name).append('(');
        for (int i = 0; i < args.length; ++i) {
            if (i > 0)
                sb.append(", ");
            final Object a = args[i];
            sb.append(a instanceof Object[] ? Arrays.toString((Object[]) a) : String.valueOf(a));
        }
        return sb.append(')').toString();
    }
}
