import java.io.File;
import java.nio.file.Files;
import java.nio.file.Path;

// A stand-in for the game: it opens no window, reports what the launcher gave it and exits
// with the status named by the environment (KORVANE_TEST_EXIT, default 0), after
// KORVANE_DEMO_SECONDS seconds of pretend play (default none).
public final class DemoGame {
    public static void main(String[] args) throws Exception {
        System.out.println("args=" + args.length);
        for (int i = 0; i < args.length; i++) {
            System.out.println("arg[" + i + "]=" + args[i]);
        }
        String libraryPath = System.getProperty("java.library.path");
        System.out.println("library.path=" + libraryPath);
        System.out.println("user.dir=" + new File(".").getCanonicalPath());
        for (String folder : libraryPath.split(File.pathSeparator)) {
            Path marker = Path.of(folder, "native-marker.txt");
            if (Files.exists(marker)) {
                System.out.println("native=" + Files.readString(marker).trim());
            }
        }
        System.err.println("stderr: the game says hello");
        // For a demonstration the "game" can stay a while, so the log window can be watched.
        String linger = System.getenv("KORVANE_DEMO_SECONDS");
        int seconds = linger == null ? 0 : Integer.parseInt(linger);
        for (int i = 1; i <= seconds * 2; i++) {
            Thread.sleep(500);
            System.out.println("playing... " + (i * 50 / seconds) + "%");
        }
        String exit = System.getenv("KORVANE_TEST_EXIT");
        System.exit(exit == null ? 0 : Integer.parseInt(exit));
    }
}
