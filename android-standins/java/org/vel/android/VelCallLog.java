package org.vel.android;

import java.util.ArrayList;
import java.util.List;

/**
 * The record of every call that native code makes into the Java half. Shared
 * by all companion classes; safe to use from any thread.
 */
public final class VelCallLog {
    // Guards sCalls; waiters block on it.
    private static final Object sLock = new Object();
    private static final List<VelCall> sCalls = new ArrayList<>();

    private VelCallLog() {}

    static void record(String name, Object... args) {
        final VelCall call = new VelCall(name, args);
        synchronized (sLock) {
            sCalls.add(call);
            sLock.notifyAll();
        }
    }

    public static List<VelCall> calls() {
        synchronized (sLock) {
            return new ArrayList<>(sCalls);
        }
    }

    /** Every call as its string form, oldest first. */
    public static String[] callStrings() {
        synchronized (sLock) {
            final String[] out = new String[sCalls.size()];
            for (int i = 0; i < out.length; ++i)
                out[i] = sCalls.get(i).toString();
            return out;
        }
    }

    public static void clear() {
        synchronized (sLock) {
            sCalls.clear();
        }
    }

    public static int count(String name) {
        synchronized (sLock) {
            int n = 0;
            for (VelCall c : sCalls)
                if (c.name.equals(name))
                    ++n;
            return n;
        }
    }

    /** The name of the Java thread that made the last call of that name, or null. */
    public static String lastThreadName(String name) {
        synchronized (sLock) {
            for (int i = sCalls.size() - 1; i >= 0; --i)
                if (sCalls.get(i).name.equals(name))
                    return sCalls.get(i).threadName;
            return null;
        }
    }

    /** Waits until at least one call of that name has been recorded. */
    public static boolean waitFor(String name, long timeoutMs) {
        return waitForCount(name, 1, timeoutMs);
    }

    public static boolean waitForCount(String name, int count, long timeoutMs) {
        final long deadline = System.nanoTime() + timeoutMs * 1_000_000L;
        synchronized (sLock) {
            while (true) {
                int n = 0;
                for (VelCall c : sCalls)
                    if (c.name.equals(name))
                        ++n;
                if (n >= count)
                    return true;
                final long leftMs = (deadline - System.nanoTime()) / 1_000_000L;
                if (leftMs <= 0)
                    return false;
                try {
                    sLock.wait(leftMs);
                } catch (InterruptedException e) {
                    Thread.currentThread().interrupt();
                    return false;
                }
            }
        }
    }
}
