// A processor that fails: it says so and exits with status 5, writing nothing.
public final class FailingProcessor {
    public static void main(String[] args) {
        System.out.println("failing on purpose");
        System.exit(5);
    }
}
