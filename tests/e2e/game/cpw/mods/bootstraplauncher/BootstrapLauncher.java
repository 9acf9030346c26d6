package cpw.mods.bootstraplauncher;

// A stand-in for the loader's first class: it says from which module it was loaded (the module
// path the launcher gave) and hands the arguments to the game's main class.
public final class BootstrapLauncher {
    public static void main(String[] args) throws Exception {
        System.out.println("bootstrap module=" + BootstrapLauncher.class.getModule().getName());
        Class.forName("net.minecraft.client.main.Main").getMethod("main", String[].class).invoke(null, (Object) args);
    }
}
