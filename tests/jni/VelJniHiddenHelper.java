// Compiled outside the class path: only a class loader set by the test finds it.
public class VelJniHiddenHelper {
    public static String whoAmI() { return "hidden"; }
}
