package velhostile;

import android.graphics.Rect;
import android.view.Surface;
import android.view.accessibility.AccessibilityNodeInfo;

import org.vel.android.VelNative;
import org.vel.android.VelNativeDialogHelper;
import org.vel.android.VelNativeInputConnection;
import org.vel.android.VelRecordedMenu;
import org.vel.android.accessibility.VelNativeAccessibility;

import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Collections;
import java.util.HashSet;
import java.util.List;
import java.util.Set;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.atomic.AtomicBoolean;

/**
 * Calls every native of the companion classes with values no well-behaved
 * Java half would pass, and checks each answer. One table row per native: the
 * arguments come from the hostile values of each parameter's type (one
 * parameter hostile at a time, the others at their first value, plus one set
 * with every parameter at its most extreme), and the row's check says what a
 * safe answer is in the phase at hand. A call that throws is a failure.
 */
public final class HostileCaller {
    /** Where the app is in its life when the calls arrive. */
    public static final int BEFORE_APP = 0;
    public static final int RUNNING = 1;
    public static final int AFTER_QUIT = 2;

    private interface Check {
        /** Null when the answer is safe, else what is wrong with it. */
        String check(int phase, Object[] args, Object answer);
    }

    private static final class Row {
        final Class<?> owner;
        final String name;
        final Check check;
        Method method;

        Row(Class<?> owner, String name, Check check) {
            this.owner = owner;
            this.name = name;
            this.check = check;
        }
    }

    // ---- hostile values by parameter type ----

    private static final String HUGE_STRING = new String(new char[1 << 16]).replace('\0', 'x');
    // A lone surrogate and an embedded NUL: neither survives a careless UTF-8 round trip.
    private static final String[] STRINGS = {"", null, HUGE_STRING, "\uD800", "a\u0000b", "\t\t"};
    private static final int[] INTS = {0, -1, Integer.MIN_VALUE, Integer.MAX_VALUE, 1 << 30, 987654321};
    private static final float[] FLOATS = {0f, Float.NaN, Float.POSITIVE_INFINITY,
            Float.NEGATIVE_INFINITY, -1e30f, Float.MAX_VALUE};
    private static final double[] DOUBLES = {160, Double.NaN, Double.POSITIVE_INFINITY,
            Double.NEGATIVE_INFINITY, 0, -1, Double.MAX_VALUE};
    private static final long[] LONGS = {0, -1, Long.MIN_VALUE, Long.MAX_VALUE, 0x7f00dead0000L};

    private static Object[] valuesOf(Class<?> type) {
        if (type == int.class)
            return box(INTS);
        if (type == float.class) {
            Object[] out = new Object[FLOATS.length];
            for (int i = 0; i < out.length; ++i)
                out[i] = FLOATS[i];
            return out;
        }
        if (type == double.class) {
            Object[] out = new Object[DOUBLES.length];
            for (int i = 0; i < out.length; ++i)
                out[i] = DOUBLES[i];
            return out;
        }
        if (type == long.class) {
            Object[] out = new Object[LONGS.length];
            for (int i = 0; i < out.length; ++i)
                out[i] = LONGS[i];
            return out;
        }
        if (type == boolean.class)
            return new Object[] {false, true};
        if (type == String.class)
            return STRINGS.clone();
        if (type == AccessibilityNodeInfo.class)
            return new Object[] {new AccessibilityNodeInfo(), null};
        if (type == android.view.Menu.class || type == android.view.ContextMenu.class)
            return new Object[] {new VelRecordedMenu(), null};
        if (type == Object.class)
            return hostileSurfaces();
        throw new IllegalArgumentException("no hostile values for " + type);
    }

    // Everything but a live surface: the caller restores the real one.
    private static Object[] hostileSurfaces() {
        Surface released = new Surface(0x7e57, 1, 1);
        released.release();
        return new Object[] {null, new Object(), "a string", released, new Rect(0, 0, 1, 1)};
    }

    private static Object[] box(int[] values) {
        Object[] out = new Object[values.length];
        for (int i = 0; i < values.length; ++i)
            out[i] = values[i];
        return out;
    }

    /** Each parameter hostile in turn, then all of them at their last value. */
    static List<Object[]> argumentSets(Class<?>[] types) {
        List<Object[]> sets = new ArrayList<>();
        Object[][] values = new Object[types.length][];
        for (int i = 0; i < types.length; ++i)
            values[i] = valuesOf(types[i]);
        Object[] base = new Object[types.length];
        for (int i = 0; i < types.length; ++i)
            base[i] = values[i][0];
        sets.add(base.clone());
        for (int i = 0; i < types.length; ++i) {
            for (int v = 1; v < values[i].length; ++v) {
                Object[] set = base.clone();
                set[i] = values[i][v];
                sets.add(set);
            }
        }
        if (types.length > 1) {
            Object[] extreme = new Object[types.length];
            for (int i = 0; i < types.length; ++i)
                extreme[i] = values[i][values[i].length - 1];
            sets.add(extreme);
        }
        return sets;
    }

    // ---- checks ----

    private static final Check ANY = (phase, args, answer) -> null;

    private static Check falseWithoutApp() {
        return (phase, args, answer) -> phase == BEFORE_APP && !Boolean.FALSE.equals(answer)
                ? "answered " + answer + " without an app" : null;
    }

    private static Check alwaysFalse() {
        return (phase, args, answer) -> Boolean.FALSE.equals(answer) ? null : "answered " + answer;
    }

    private static Check alwaysTrue() {
        return (phase, args, answer) -> Boolean.TRUE.equals(answer) ? null : "answered " + answer;
    }

    private static Check nullWithoutApp() {
        return (phase, args, answer) -> phase == BEFORE_APP && answer != null
                ? "answered " + answer + " without an app" : null;
    }

    // At most `length` characters of the text before or after the cursor.
    private static Check textAroundCursor() {
        return (phase, args, answer) -> {
            if (answer == null)
                return phase == RUNNING ? "answered null with an app" : null;
            int length = (Integer) args[0];
            int chars = ((String) answer).length();
            return chars > Math.max(length, 0) ? chars + " characters for length " + length : null;
        };
    }

    private static Check capsMode() {
        return (phase, args, answer) -> {
            int mode = (Integer) answer;
            if (phase == BEFORE_APP && mode != 0)
                return "caps mode " + mode + " without an app";
            return mode == 0 || mode == 0x1000 || mode == 0x4000 ? null : "caps mode " + mode;
        };
    }

    private static boolean staleId(Object id) {
        int value = (Integer) id;
        return value != -1 && value != 0 && value != 1 << 30;
    }

    private static Check a11yChildren() {
        return (phase, args, answer) -> {
            if (answer == null)
                return "a null array";
            int length = ((int[]) answer).length;
            return (staleId(args[0]) || phase == BEFORE_APP) && length != 0
                    ? length + " children of a stale id" : null;
        };
    }

    private static Check a11yParent() {
        return (phase, args, answer) -> (staleId(args[0]) || phase == BEFORE_APP)
                && (Integer) answer != -1 ? "parent " + answer + " of a stale id" : null;
    }

    private static Check a11yDescription() {
        return (phase, args, answer) -> {
            if (answer == null)
                return "a null description";
            return (staleId(args[0]) || phase == BEFORE_APP) && !answer.equals("")
                    ? "\"" + answer + "\" for a stale id" : null;
        };
    }

    private static Check a11yRect() {
        return (phase, args, answer) -> {
            if (answer == null)
                return "a null rectangle";
            return (staleId(args[0]) || phase == BEFORE_APP)
                    && !answer.equals(new Rect(0, 0, -1, -1)) ? answer + " for a stale id" : null;
        };
    }

    // A point that is no point, or far off the screen, hits nothing.
    private static Check a11yHit() {
        return (phase, args, answer) -> {
            float x = (Float) args[0];
            float y = (Float) args[1];
            boolean offScreen = !(Math.abs(x) < 1e6f && Math.abs(y) < 1e6f);
            return (offScreen || phase == BEFORE_APP) && (Integer) answer != -1
                    ? "hit " + answer + " at " + x + ", " + y : null;
        };
    }

    // With no menu bar and no context menu shown, no choice is taken.
    private static Check menuFalse() {
        return alwaysFalse();
    }

    // ---- the table ----

    private static final Row[] TABLE = {
        // Core natives of VelNative that take arguments or may come at any time.
        // The lifecycle natives (start, quit, terminate) are called by the test
        // in their phases, not from the table.
        new Row(VelNative.class, "pauseVelApp", ANY),
        new Row(VelNative.class, "resumeVelApp", ANY),
        new Row(VelNative.class, "setDisplayMetrics", ANY),
        new Row(VelNative.class, "setSurface", ANY),
        new Row(VelNative.class, "destroySurface", ANY),
        new Row(VelNative.class, "unlockSurface", ANY),
        new Row(VelNative.class, "updateWindow", ANY),
        new Row(VelNative.class, "updateApplicationState", ANY),
        new Row(VelNative.class, "handleOrientationChanged", ANY),
        // Touch, mouse and keys.
        new Row(VelNative.class, "touchBegin", ANY),
        new Row(VelNative.class, "touchAdd", ANY),
        new Row(VelNative.class, "touchEnd", ANY),
        new Row(VelNative.class, "mouseDown", ANY),
        new Row(VelNative.class, "mouseUp", ANY),
        new Row(VelNative.class, "mouseMove", ANY),
        new Row(VelNative.class, "longPress", ANY),
        new Row(VelNative.class, "keyDown", ANY),
        new Row(VelNative.class, "keyUp", ANY),
        new Row(VelNative.class, "keyboardVisibilityChanged", ANY),
        // Menus: the app has no menu bar and shows no context menu.
        new Row(VelNative.class, "onPrepareOptionsMenu", menuFalse()),
        new Row(VelNative.class, "onOptionsItemSelected", menuFalse()),
        new Row(VelNative.class, "onOptionsMenuClosed", ANY),
        new Row(VelNative.class, "onCreateContextMenu", ANY),
        // A context choice is always taken, whether or not a menu is shown.
        new Row(VelNative.class, "onContextItemSelected", alwaysTrue()),
        new Row(VelNative.class, "onContextMenuClosed", ANY),
        // Message dialogs: no dialog is showing, so every handle is stale.
        new Row(VelNativeDialogHelper.class, "dialogResult", ANY),
        // The input connection.
        new Row(VelNativeInputConnection.class, "commitText", falseWithoutApp()),
        new Row(VelNativeInputConnection.class, "deleteSurroundingText", falseWithoutApp()),
        new Row(VelNativeInputConnection.class, "finishComposingText", falseWithoutApp()),
        new Row(VelNativeInputConnection.class, "getCursorCapsMode", capsMode()),
        new Row(VelNativeInputConnection.class, "getExtractedText", nullWithoutApp()),
        new Row(VelNativeInputConnection.class, "getSelectedText", nullWithoutApp()),
        new Row(VelNativeInputConnection.class, "getTextAfterCursor", textAroundCursor()),
        new Row(VelNativeInputConnection.class, "getTextBeforeCursor", textAroundCursor()),
        new Row(VelNativeInputConnection.class, "setComposingText", falseWithoutApp()),
        new Row(VelNativeInputConnection.class, "setComposingRegion", falseWithoutApp()),
        new Row(VelNativeInputConnection.class, "setSelection", falseWithoutApp()),
        new Row(VelNativeInputConnection.class, "selectAll", alwaysFalse()),
        new Row(VelNativeInputConnection.class, "cut", alwaysFalse()),
        new Row(VelNativeInputConnection.class, "copy", alwaysFalse()),
        new Row(VelNativeInputConnection.class, "copyURL", alwaysFalse()),
        new Row(VelNativeInputConnection.class, "paste", alwaysFalse()),
        // Accessibility.
        new Row(VelNativeAccessibility.class, "setActive", ANY),
        new Row(VelNativeAccessibility.class, "childIdListForAccessibleObject", a11yChildren()),
        new Row(VelNativeAccessibility.class, "parentId", a11yParent()),
        new Row(VelNativeAccessibility.class, "descriptionForAccessibleObject", a11yDescription()),
        new Row(VelNativeAccessibility.class, "screenRect", a11yRect()),
        new Row(VelNativeAccessibility.class, "hitTest", a11yHit()),
        new Row(VelNativeAccessibility.class, "populateNode", ANY),
        new Row(VelNativeAccessibility.class, "clickAction", alwaysFalse()),
    };

    // Called by the test around the table, never with hostile arguments: their
    // effect is the phase itself (lockSurface is paired with unlockSurface in
    // callLockPairs, startVelApplication is called while an app runs only).
    private static final Set<String> LIFECYCLE = new HashSet<>(Arrays.asList(
            "startVelAndroidPlugin", "startVelApplication", "quitVelAndroidPlugin",
            "terminateVel", "lockSurface"));

    private static final Class<?>[] COMPANIONS = {VelNative.class, VelNativeDialogHelper.class,
            VelNativeInputConnection.class, VelNativeAccessibility.class};

    static {
        for (Row row : TABLE) {
            for (Method m : row.owner.getDeclaredMethods()) {
                if (m.getName().equals(row.name) && Modifier.isNative(m.getModifiers()))
                    row.method = m;
            }
        }
    }

    /** Natives of the companion classes that neither the table nor the lifecycle covers. */
    public static String uncovered() {
        List<String> missing = new ArrayList<>();
        for (Class<?> owner : COMPANIONS) {
            for (Method m : owner.getDeclaredMethods()) {
                if (!Modifier.isNative(m.getModifiers()) || LIFECYCLE.contains(m.getName()))
                    continue;
                boolean found = false;
                for (Row row : TABLE)
                    found |= row.method != null && row.method.equals(m);
                if (!found)
                    missing.add(owner.getSimpleName() + "." + m.getName());
            }
        }
        for (Row row : TABLE) {
            if (row.method == null)
                missing.add("no native " + row.owner.getSimpleName() + "." + row.name);
        }
        Collections.sort(missing);
        return String.join("\n", missing);
    }

    /** How many calls one pass of the table makes. */
    public static int callsPerPass() {
        int calls = 0;
        for (Row row : TABLE)
            calls += row.method == null ? 0 : argumentSets(row.method.getParameterTypes()).size();
        return calls;
    }

    // ---- running the table ----

    /**
     * One pass of the table on the calling thread; the failures, one a line
     * (empty when every answer was safe). skip names natives to leave out:
     * rows whose effect would end the phase (for example "setSurface" while a
     * renderer is being watched).
     */
    public static String pass(int phase, String skip) {
        Set<String> skipped = new HashSet<>(Arrays.asList(skip.split(",")));
        StringBuilder failures = new StringBuilder();
        for (Row row : TABLE) {
            if (row.method == null || skipped.contains(row.name))
                continue;
            for (Object[] args : argumentSets(row.method.getParameterTypes())) {
                String failure = callOne(row, phase, args);
                if (failure != null)
                    failures.append(Thread.currentThread().getName()).append(": ")
                            .append(row.name).append(describe(args)).append(": ")
                            .append(failure).append('\n');
            }
        }
        failures.append(callLockPairs());
        return failures.toString();
    }

    private static String callOne(Row row, int phase, Object[] args) {
        Object answer;
        try {
            answer = row.method.invoke(null, args);
        } catch (InvocationTargetException e) {
            return "threw " + e.getCause();
        } catch (IllegalAccessException e) {
            return "not callable: " + e;
        }
        return row.check.check(phase, args, answer);
    }

    // lockSurface nests and unlockSurface undoes it; surplus unlocks are refused.
    private static String callLockPairs() {
        try {
            VelNative.lockSurface();
            VelNative.lockSurface();
            VelNative.unlockSurface();
            VelNative.unlockSurface();
            VelNative.unlockSurface();
            return "";
        } catch (Throwable t) {
            return Thread.currentThread().getName() + ": lockSurface/unlockSurface threw " + t + "\n";
        }
    }

    /**
     * The table on this thread and, at the same time, on two threads of its
     * own. Fails (and says so) when a thread has not finished within the bound.
     */
    public static String passOnThreeThreads(int phase, String skip, long boundMs)
            throws InterruptedException {
        String[] results = new String[2];
        Thread[] threads = new Thread[2];
        for (int i = 0; i < threads.length; ++i) {
            final int index = i;
            threads[i] = new Thread(() -> results[index] = pass(phase, skip), "hostile-" + i);
            threads[i].setDaemon(true);
            threads[i].start();
        }
        StringBuilder failures = new StringBuilder(pass(phase, skip));
        long deadline = System.nanoTime() + TimeUnit.MILLISECONDS.toNanos(boundMs);
        for (int i = 0; i < threads.length; ++i) {
            threads[i].join(Math.max(1, TimeUnit.NANOSECONDS.toMillis(deadline - System.nanoTime())));
            if (threads[i].isAlive())
                failures.append(threads[i].getName()).append(": still calling after ")
                        .append(boundMs).append(" ms\n");
            else
                failures.append(results[i]);
        }
        return failures.toString();
    }

    /**
     * The table on three threads while a fourth replaces the surface: the
     * surface comes and goes between the given X windows, with hostile
     * surfaces in between. Ends with the surface of lastWindow set.
     */
    public static String passDuringSurfaceChanges(long[] windows, int width, int height,
            long boundMs) throws InterruptedException {
        AtomicBoolean stop = new AtomicBoolean();
        String[] churnFailure = {""};
        Thread churn = new Thread(() -> {
            try {
                Object[] hostile = hostileSurfaces();
                for (int round = 0; !stop.get(); ++round) {
                    VelNative.setSurface(new Surface(windows[round % windows.length], width, height));
                    VelNative.setSurface(hostile[round % hostile.length]);
                    VelNative.destroySurface();
                    VelNative.lockSurface();
                    VelNative.setSurface(new Surface(windows[(round + 1) % windows.length],
                            width, height));
                    VelNative.unlockSurface();
                }
            } catch (Throwable t) {
                churnFailure[0] = "surface-churn: threw " + t + "\n";
            }
        }, "surface-churn");
        churn.setDaemon(true);
        churn.start();
        String failures = passOnThreeThreads(RUNNING, "setSurface,destroySurface", boundMs);
        stop.set(true);
        churn.join(boundMs);
        if (churn.isAlive())
            return failures + "surface-churn: still changing after " + boundMs + " ms\n";
        VelNative.setSurface(new Surface(windows[windows.length - 1], width, height));
        return failures + churnFailure[0];
    }

    private static String describe(Object[] args) {
        StringBuilder out = new StringBuilder("(");
        for (int i = 0; i < args.length; ++i) {
            if (i > 0)
                out.append(", ");
            Object a = args[i];
            if (a instanceof String && ((String) a).length() > 16)
                out.append("\"x...\" (").append(((String) a).length()).append(" chars)");
            else if (a instanceof String)
                out.append('"').append(escape((String) a)).append('"');
            else
                out.append(a == null ? "null" : a.getClass().getSimpleName().equals("Object")
                                ? "new Object()" : String.valueOf(a));
        }
        return out.append(')').toString();
    }

    private static String escape(String s) {
        StringBuilder out = new StringBuilder();
        for (char c : s.toCharArray())
            out.append(c < 0x20 || c >= 0xd800 ? String.format("\\u%04x", (int) c) : String.valueOf(c));
        return out.toString();
    }

    private HostileCaller() {}
}
