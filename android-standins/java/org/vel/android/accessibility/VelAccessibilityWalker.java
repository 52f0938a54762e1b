package org.vel.android.accessibility;

import android.graphics.Rect;
import android.view.accessibility.AccessibilityNodeInfo;
import java.util.ArrayList;
import java.util.HashSet;
import java.util.List;
import java.util.Set;

/**
 * Walks the application's virtual view tree the way an accessibility service
 * sees it: it switches accessibility on, starts at the host view (id -1, the
 * focus window's root), asks for each node's children, description, bounds and
 * a populated node, and can perform the click action on a node.
 *
 * The natives are the only source: nothing here knows the native tree. A tree
 * that answers with a node twice (a cycle, or a node moved while walking) is
 * walked once per node.
 */
public final class VelAccessibilityWalker {
    public static final int HOST_ROOT = -1;
    private static final int MAX_DEPTH = 64;
    private static final int MAX_NODES = 10000;

    private VelAccessibilityWalker() {}

    /** One virtual view as the service keeps it. */
    public static final class Node {
        public final int id;
        public final int parentId;
        public final int depth;
        public final String description;
        public final Rect bounds;
        public final AccessibilityNodeInfo info;
        public final int[] children;

        Node(int id, int parentId, int depth) {
            this.id = id;
            this.parentId = parentId;
            this.depth = depth;
            this.description = VelNativeAccessibility.descriptionForAccessibleObject(id);
            final Rect rect = VelNativeAccessibility.screenRect(id);
            this.bounds = rect != null ? rect : new Rect(0, 0, -1, -1);
            this.info = AccessibilityNodeInfo.obtain();
            VelNativeAccessibility.populateNode(id, info);
            info.setBoundsInScreen(bounds);
            final int[] ids = VelNativeAccessibility.childIdListForAccessibleObject(id);
            this.children = ids != null ? ids : new int[0];
        }

        /** The content description, or "" when the node has none. */
        public String content() {
            final CharSequence text = info.getContentDescription();
            return text != null ? text.toString() : "";
        }

        /** True when the description or the content names this text. */
        boolean isNamed(String text) {
            return startsWithName(description, text) || startsWithName(content(), text);
        }

        /** The line a dump shows for this node. */
        public String line() {
            final StringBuilder b = new StringBuilder();
            for (int i = 0; i < depth; ++i)
                b.append("  ");
            b.append('[').append(id).append("] \"").append(description).append('"');
            b.append(" content=\"").append(content()).append('"');
            b.append(" bounds=[").append(bounds.left).append(',').append(bounds.top).append("][");
            b.append(bounds.right).append(',').append(bounds.bottom).append(']');
            b.append(" states=").append(states());
            if ((info.getActions() & AccessibilityNodeInfo.ACTION_CLICK) != 0)
                b.append(" actions=click");
            b.append(" children=").append(children.length);
            return b.toString();
        }

        /** The node's flags, comma-separated, in a fixed order. */
        public String states() {
            final List<String> s = new ArrayList<>();
            if (info.isEnabled())
                s.add("enabled");
            if (info.isFocusable())
                s.add("focusable");
            if (info.isCheckable())
                s.add("checkable");
            if (info.isChecked())
                s.add("checked");
            if (info.isVisibleToUser())
                s.add("visible");
            if (info.isClickable())
                s.add("clickable");
            if (info.getTextSelectionStart() >= 0)
                s.add("selection=" + info.getTextSelectionStart() + "-"
                        + info.getTextSelectionEnd());
            return s.isEmpty() ? "-" : String.join(",", s);
        }
    }

    static boolean startsWithName(String full, String name) {
        return full.equals(name) || full.startsWith(name + " ");
    }

    /** The whole tree below the host view, the host view first, depth first. */
    public static List<Node> walk() {
        VelNativeAccessibility.setActive(true);
        final List<Node> nodes = new ArrayList<>();
        final Set<Integer> seen = new HashSet<>();
        visit(HOST_ROOT, HOST_ROOT, 0, nodes, seen);
        return nodes;
    }

    private static void visit(int id, int parentId, int depth, List<Node> nodes, Set<Integer> seen) {
        if (depth > MAX_DEPTH || nodes.size() >= MAX_NODES || !seen.add(id))
            return;
        final Node node = new Node(id, parentId, depth);
        nodes.add(node);
        for (int child : node.children)
            visit(child, id, depth + 1, nodes, seen);
    }

    /** The tree as text: a heading, then one line per node. */
    public static String dump() {
        final List<Node> nodes = walk();
        final StringBuilder b = new StringBuilder();
        b.append("accessibility tree: ").append(nodes.size()).append(" nodes\n");
        for (Node node : nodes)
            b.append(node.line()).append('\n');
        return b.toString();
    }

    /**
     * The node a target names: a number is an id of the tree; any other text
     * the first node, depth first, whose description or content is that text
     * or starts with it followed by a blank (the role comes after the name).
     */
    public static Node find(String target) {
        final List<Node> nodes = walk();
        Integer id = null;
        try {
            id = Integer.valueOf(target.trim());
        } catch (NumberFormatException notANumber) {
            id = null;
        }
        for (Node node : nodes) {
            if (node.id == HOST_ROOT)
                continue;
            if (id != null ? node.id == id : node.isNamed(target))
                return node;
        }
        return null;
    }

    /**
     * Performs the click action on the node a target names, as a service does
     * for a double tap, and reports the node as it is afterwards; null when no
     * node matches.
     */
    public static String click(String target) {
        final Node node = find(target);
        if (node == null)
            return null;
        VelNativeAccessibility.clickAction(node.id);
        return new Node(node.id, node.parentId, 0).line();
    }
}
