package net.minecraft.client.main;

import java.io.File;
import java.nio.file.Files;
import java.nio.file.Path;

// A stand-in for the game's client, under the game's own main class: it opens no window,
// reports what the launcher gave it (arguments, the natives it can reach and where it would
// unpack them, the log configuration) and exits with the status named by KORVANE_TEST_EXIT.
public final class Main {
    public static void main(String[] args) throws Exception {
        System.out.println("args=" + args.length);
        for (int i = 0; i < args.length; i++) {
            System.out.println("arg[" + i + "]=" + args[i]);
        }
        System.out.println("java.version=" + System.getProperty("java.version"));
        System.out.println("log4j=" + System.getProperty("log4j.configurationFile"));
        System.out.println("brand=" + System.getProperty("minecraft.launcher.brand"));
        String libraryPath = System.getProperty("java.library.path");
        for (String folder : libraryPath.split(File.pathSeparator)) {
            if (folder.isEmpty()) continue;
            Path marker = Path.of(folder, "native-marker.txt");
            if (Files.exists(marker)) System.out.println("unpacked=" + Files.readString(marker).trim());
            if (Files.exists(Path.of(folder, "META-INF"))) System.out.println("unpacked META-INF in " + folder);
        }
        // Where the natives are looked for and unpacked, and whether that folder is there.
        for (String property : new String[] {"java.library.path", "jna.tmpdir",
                "org.lwjgl.system.SharedLibraryExtractPath", "io.netty.native.workdir"}) {
            String value = System.getProperty(property);
            boolean folder = value != null && !value.isEmpty() && Files.isDirectory(Path.of(value));
            System.out.println("property " + property + "=" + value + (folder ? " (folder)" : ""));
        }
        // Today's natives are jars on the class path.
        if (Main.class.getClassLoader().getResource("classpath-native.txt") != null) {
            System.out.println("classpath natives found");
        }
        String exit = System.getenv("KORVANE_TEST_EXIT");
        System.exit(exit == null ? 0 : Integer.parseInt(exit));
    }
}
