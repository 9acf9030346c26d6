import java.lang.instrument.Instrumentation;

// A stand-in for the account-server agent: loaded with -javaagent before the game's main class,
// it prints the argument it was given and the metadata the launcher prefetched, and changes
// nothing.
public final class TestAgent {
    public static void premain(String argument, Instrumentation instrumentation) {
        System.out.println("agent.argument=" + argument);
        System.out.println("agent.prefetched=" + System.getProperty("authlibinjector.yggdrasil.prefetched"));
    }
}
