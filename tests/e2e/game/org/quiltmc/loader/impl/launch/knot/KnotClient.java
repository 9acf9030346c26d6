package org.quiltmc.loader.impl.launch.knot;

// A stand-in for Quilt's launch class, the main class of its description: it reports the
// arguments and the class path the launcher gave it and exits with the status named by
// KORVANE_TEST_EXIT.
public final class KnotClient {
    public static void main(String[] args) {
        System.out.println("loader=quilt");
        for (int i = 0; i < args.length; i++) {
            System.out.println("arg[" + i + "]=" + args[i]);
        }
        System.out.println("classpath=" + System.getProperty("java.class.path"));
        String exit = System.getenv("KORVANE_TEST_EXIT");
        System.exit(exit == null ? 0 : Integer.parseInt(exit));
    }
}
