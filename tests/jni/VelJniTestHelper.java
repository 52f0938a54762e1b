import java.util.Locale;

public class VelJniTestHelper {
    public String label;
    public Locale locale = Locale.GERMANY;
    public int count;
    public long stamp;
    public String log = "";

    public VelJniTestHelper() {
        label = "default";
    }

    public VelJniTestHelper(String label, int count) {
        this.label = label;
        this.count = count;
    }

    public void setCount(int c) { count = c; log += "I"; }
    public void setLabel(String s) { label = s; log += "S"; }
    public void setBoth(int c, String s) { count = c; label = s; log += "IS"; }
    public void setStamp(long v) { stamp = v; log += "J"; }
    public void touch() { log += "V"; }
    public int getCount() { return count; }
    public long getStamp() { return stamp; }
    public String getLabel() { return label; }
    public boolean isEmpty() { return label == null || label.isEmpty(); }
    public double half() { return count / 2.0; }
    public Locale getLocale() { return locale; }
    public void fail() { throw new IllegalStateException("boom"); }
    public int failInt() { throw new IllegalArgumentException("bad int"); }

    public static String echo(String s) { return s; }
    public static int units(String s) { return s.length(); }
    public static int unitAt(String s, int i) { return s.charAt(i); }
    public static VelJniTestHelper make(String s) { return new VelJniTestHelper(s, s.length()); }
}
