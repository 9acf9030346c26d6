package net.minecraft.launchwrapper;

// A stand-in for the older loaders' first class: it says that it ran and hands the arguments
// to the game's main class.
public final class Launch {
    public static void main(String[] args) throws Exception {
        System.out.println("launchwrapper");
        Class.forName("net.minecraft.client.main.Main").getMethod("main", String[].class).invoke(null, (Object) args);
    }
}
