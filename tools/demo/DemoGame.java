import java.io.File;
import java.nio.file.Files;
import java.nio.file.Path;

// A stand-in for the game: it opens no window, reports what the launcher gave it and exits
// with the status named by the environment (KORVANE_TEST_EXIT, default 0).
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
        String exit = System.getenv("KORVANE_TEST_EXIT");
        System.exit(exit == null ? 0 : Integer.parseInt(exit));
    }
}
