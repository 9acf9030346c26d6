import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;

// A stand-in for an installer's processor: it checks that every input it is given exists, and
// writes each output it is given ("--output", "--slim", "--extra", "--out-jar") with the
// option's name as its content ("slim"), so that a test knows every output's checksum.
public final class TestProcessor {
    private static final List<String> INPUTS =
        List.of("--input", "--clean", "--apply", "--in-jar", "--srg", "--srg-in", "--names", "--left", "--right");
    private static final List<String> OUTPUTS = List.of("--output", "--slim", "--extra", "--out-jar");

    public static void main(String[] args) throws Exception {
        System.out.println("processor " + String.join(" ", args));
        for (int i = 0; i + 1 < args.length; i++) {
            if (INPUTS.contains(args[i]) && !Files.isRegularFile(Path.of(args[i + 1]))) {
                System.out.println("missing input " + args[i + 1]);
                System.exit(3);
            }
        }
        for (int i = 0; i + 1 < args.length; i++) {
            if (!OUTPUTS.contains(args[i])) continue;
            Path output = Path.of(args[i + 1]);
            if (output.getParent() != null) Files.createDirectories(output.getParent());
            Files.write(output, args[i].substring(2).getBytes(StandardCharsets.UTF_8));
        }
    }
}
