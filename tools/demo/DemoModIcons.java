import java.awt.BasicStroke;
import java.awt.Color;
import java.awt.GradientPaint;
import java.awt.Graphics2D;
import java.awt.RenderingHints;
import java.awt.geom.Ellipse2D;
import java.awt.geom.Path2D;
import java.awt.geom.RoundRectangle2D;
import java.awt.image.BufferedImage;
import java.io.File;
import javax.imageio.ImageIO;

// Draws the icons of the three demo mods (64 x 64 PNG) into the folder given as argument:
// ores.png (a stone block with ore), compass.png and lantern.png.
public final class DemoModIcons {
    private static final int SIZE = 64;

    public static void main(String[] args) throws Exception {
        File folder = new File(args[0]);
        folder.mkdirs();
        write(folder, "ores.png", DemoModIcons::ores);
        write(folder, "compass.png", DemoModIcons::compass);
        write(folder, "lantern.png", DemoModIcons::lantern);
    }

    interface Painter {
        void paint(Graphics2D g);
    }

    private static void write(File folder, String name, Painter painter) throws Exception {
        BufferedImage image = new BufferedImage(SIZE, SIZE, BufferedImage.TYPE_INT_ARGB);
        Graphics2D g = image.createGraphics();
        g.setRenderingHint(RenderingHints.KEY_ANTIALIASING, RenderingHints.VALUE_ANTIALIAS_ON);
        painter.paint(g);
        g.dispose();
        ImageIO.write(image, "png", new File(folder, name));
    }

    private static void tile(Graphics2D g, Color top, Color bottom) {
        g.setPaint(new GradientPaint(0, 0, top, 0, SIZE, bottom));
        g.fill(new RoundRectangle2D.Double(2, 2, SIZE - 4, SIZE - 4, 14, 14));
        g.setColor(new Color(0, 0, 0, 60));
        g.setStroke(new BasicStroke(2f));
        g.draw(new RoundRectangle2D.Double(2, 2, SIZE - 4, SIZE - 4, 14, 14));
    }

    private static void ores(Graphics2D g) {
        tile(g, new Color(0x9A, 0x9A, 0x94), new Color(0x6E, 0x6E, 0x6A));
        int[][] specks = {{14, 14, 0x3FC7D9}, {36, 12, 0xE0B03A}, {24, 30, 0x3FC7D9}, {44, 36, 0xC8463C},
                          {12, 44, 0xE0B03A}, {32, 48, 0x3FC7D9}};
        for (int[] s : specks) {
            g.setColor(new Color(s[2]));
            g.fillRect(s[0], s[1], 9, 9);
            g.setColor(new Color(255, 255, 255, 110));
            g.fillRect(s[0], s[1], 4, 3);
        }
    }

    private static void compass(Graphics2D g) {
        tile(g, new Color(0x5B, 0x8F, 0xC9), new Color(0x2F, 0x5C, 0x94));
        g.setColor(new Color(0xF3, 0xEE, 0xD8));
        g.fill(new Ellipse2D.Double(11, 11, 42, 42));
        g.setColor(new Color(0x4A, 0x3F, 0x1F));
        g.setStroke(new BasicStroke(2.5f));
        g.draw(new Ellipse2D.Double(11, 11, 42, 42));
        Path2D north = new Path2D.Double();
        north.moveTo(32, 15);
        north.lineTo(38, 32);
        north.lineTo(26, 32);
        north.closePath();
        g.setColor(new Color(0xC8, 0x46, 0x3C));
        g.fill(north);
        Path2D south = new Path2D.Double();
        south.moveTo(32, 49);
        south.lineTo(38, 32);
        south.lineTo(26, 32);
        south.closePath();
        g.setColor(new Color(0x6E, 0x6E, 0x6A));
        g.fill(south);
        g.setColor(new Color(0x4A, 0x3F, 0x1F));
        g.fill(new Ellipse2D.Double(29, 29, 6, 6));
    }

    private static void lantern(Graphics2D g) {
        tile(g, new Color(0x3A, 0x34, 0x5C), new Color(0x1E, 0x1A, 0x33));
        g.setPaint(new java.awt.RadialGradientPaint(32, 36, 26, new float[] {0f, 1f},
                new Color[] {new Color(255, 214, 102, 170), new Color(255, 214, 102, 0)}));
        g.fill(new Ellipse2D.Double(6, 10, 52, 52));
        g.setColor(new Color(0x4A, 0x3F, 0x1F));
        g.fillRect(24, 14, 16, 5);
        g.setStroke(new BasicStroke(2f));
        g.drawArc(26, 6, 12, 12, 0, 180);
        g.setColor(new Color(0xFF, 0xD6, 0x66));
        g.fill(new RoundRectangle2D.Double(22, 19, 20, 26, 6, 6));
        g.setColor(new Color(0x4A, 0x3F, 0x1F));
        g.drawRect(22, 19, 20, 26);
        g.drawLine(32, 19, 32, 45);
        g.fillRect(24, 45, 16, 5);
    }
}
